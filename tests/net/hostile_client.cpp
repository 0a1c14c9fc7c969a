// The hostile client: raw ENet, two channels as the game uses them, and the
// packet codec for what it means to say.
#include "tests/net/hostile_client.h"

#include <enet/enet.h>

#include "art/art_digest.h"

HostileClient::HostileClient() {
    enet_initialize();
}

HostileClient::~HostileClient() {
    if (host != nullptr) {
        enet_host_destroy(host);
    }
    enet_deinitialize();
}

bool HostileClient::Join(uint16_t port) {
    host = enet_host_create(nullptr, 1, 2, 0, 0);
    if (host == nullptr) {
        return false;
    }
    ENetAddress address{};
    enet_address_set_host(&address, "127.0.0.1");
    address.port = port;
    peer = enet_host_connect(host, &address, 2, 0);
    return peer != nullptr;
}

bool HostileClient::Host(uint16_t port) {
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    host = enet_host_create(&address, 8, 2, 0, 0);
    return host != nullptr;
}

uint16_t HostileClient::Port() const {
    ENetAddress address{};
    if (host != nullptr) {
        enet_socket_get_address(host->socket, &address);
    }
    return address.port;
}

void HostileClient::Service(uint32_t waitMs) {
    ENetEvent event;
    while (host != nullptr && enet_host_service(host, &event, waitMs) > 0) {
        waitMs = 0;
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                connected = true;
                ++clientsSeen;
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                ledger.Take(event.packet->data, event.packet->dataLength);
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (event.peer == peer) {
                    disconnected = true;
                    peer = nullptr;
                }
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
}

void HostileClient::SendRaw(const uint8_t* data, size_t size, bool reliable) {
    if (peer == nullptr) {
        return;
    }
    ENetPacket* packet = enet_packet_create(data, size, reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
    if (packet != nullptr && enet_peer_send(peer, reliable ? 0 : 1, packet) != 0) {
        enet_packet_destroy(packet);
    }
    enet_host_flush(host);
}

void HostileClient::Hello(const uint8_t* rule) {
    HelloPacket hello;
    hello.versionMajor = KIVORO_VERSION_MAJOR;
    hello.versionMinor = KIVORO_VERSION_MINOR;
    hello.artDigest = ArtDigest();
#if KIVORO_PIXEL_565
    hello.pixelLayout = PixelLayout565;
#endif
    hello.inputDelay = 2;
    uint8_t buffer[maxPacketSize];
    const size_t size = EncodeHello(hello, buffer, sizeof buffer);
    if (rule != nullptr) {
        buffer[size - 2] = rule[0];
        buffer[size - 1] = rule[1];
    }
    SendRaw(buffer, size, true);
}

void HostileClient::Input(const InputPacket& input) {
    uint8_t buffer[maxPacketSize];
    SendRaw(buffer, EncodeInput(input, buffer, sizeof buffer), false);
}

void HostileClient::End(EndReason reason, uint32_t frame) {
    uint8_t buffer[maxPacketSize];
    SendRaw(buffer, EncodeEnd({reason, frame}, buffer, sizeof buffer), true);
}

void HostileClient::Leave() {
    if (peer != nullptr) {
        enet_peer_disconnect_later(peer, 1);
        enet_host_flush(host);
    }
}

void HostileClient::Vanish() {
    if (host != nullptr) {
        enet_host_destroy(host);
        host = nullptr;
        peer = nullptr;
    }
}
