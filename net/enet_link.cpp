// The ENet transport: one host with one peer and two channels, serviced once
// per frame without waiting; packets held back for a simulated delay wait in a
// fixed ring.
#include "net/enet_link.h"

#include <enet/enet.h>

#include <cstring>

namespace {

constexpr size_t channelCount = 2;

// ENet must be initialised once per process, before its first host, and
// deinitialised after its last.
int enetUsers = 0;

bool AcquireEnet() {
    if (enetUsers == 0 && enet_initialize() != 0) {
        return false;
    }
    ++enetUsers;
    return true;
}

void ReleaseEnet() {
    if (--enetUsers == 0) {
        enet_deinitialize();
    }
}

}  // namespace

bool EnetLink::Ring::Push(uint32_t due, uint8_t channel, const uint8_t* data, size_t size) {
    if (count == queueCapacity) {
        return false;
    }
    Held& slot = slots[(head + count) % queueCapacity];
    slot.due = due;
    slot.channel = channel;
    // A packet too long for a slot keeps its true size and its first bytes;
    // the reader sees the size and drops it.
    slot.size = static_cast<uint16_t>(size > UINT16_MAX ? UINT16_MAX : size);
    std::memcpy(slot.data, data, size < slotSize ? size : slotSize);
    ++count;
    return true;
}

void EnetLink::Ring::Pop() {
    head = (head + 1) % queueCapacity;
    --count;
}

EnetLink::EnetLink(const EnetLinkOptions& options)
    : options(options), random(options.seed), start(std::chrono::steady_clock::now()) {
    initialized = AcquireEnet();
}

EnetLink::~EnetLink() {
    if (host != nullptr) {
        if (peer != nullptr && status == LinkConnected) {
            enet_peer_disconnect_now(peer, 0);
        }
        enet_host_destroy(host);
    }
    if (initialized) {
        ReleaseEnet();
    }
}

uint32_t EnetLink::NowMs() const {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

bool EnetLink::Host(uint16_t port) {
    return Start(true, nullptr, port);
}

bool EnetLink::Join(const char* hostName, uint16_t port) {
    return Start(false, hostName, port);
}

bool EnetLink::Start(bool hosting, const char* hostName, uint16_t port) {
    if (!initialized || host != nullptr) {
        return false;
    }
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    host = enet_host_create(hosting ? &address : nullptr, 1, channelCount, 0, 0);
    if (host == nullptr) {
        return false;
    }
    if (hosting) {
        return true;
    }
    if (hostName == nullptr || enet_address_set_host(&address, hostName) != 0) {
        return false;
    }
    peer = enet_host_connect(host, &address, channelCount, 0);
    if (peer == nullptr) {
        return false;
    }
    enet_peer_timeout(peer, 0, options.timeoutMs, options.timeoutMs);
    return true;
}

uint16_t EnetLink::Port() const {
    if (host == nullptr) {
        return 0;
    }
    ENetAddress address{};
    enet_socket_get_address(host->socket, &address);
    return address.port;
}

uint64_t EnetLink::WireBytesSent() const {
    return host != nullptr ? host->totalSentData : 0;
}

void EnetLink::Pump(uint32_t waitMs) {
    ENetEvent event;
    while (host != nullptr && enet_host_service(host, &event, waitMs) > 0) {
        waitMs = 0;
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (peer == nullptr || peer == event.peer) {
                    peer = event.peer;
                    enet_peer_timeout(peer, 0, options.timeoutMs, options.timeoutMs);
                    status = LinkConnected;
                }
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (event.peer == peer && status == LinkConnected) {
                    // A full ring drops the packet, as a congested network would.
                    received.Push(0, event.channelID, event.packet->data, event.packet->dataLength);
                }
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (event.peer == peer) {
                    status = LinkClosed;
                }
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
}

void EnetLink::Service() {
    FlushHeld(false);
    Pump(0);
}

void EnetLink::SendNow(uint8_t channel, const uint8_t* data, size_t size) {
    if (peer == nullptr || status != LinkConnected) {
        return;
    }
    const enet_uint32 flags = channel == ChannelReliable ? ENET_PACKET_FLAG_RELIABLE : 0;
    ENetPacket* packet = enet_packet_create(data, size, flags);
    if (packet != nullptr && enet_peer_send(peer, channel, packet) != 0) {
        enet_packet_destroy(packet);
    }
}

void EnetLink::FlushHeld(bool all) {
    const uint32_t now = NowMs();
    while (outgoing.count > 0 && (all || static_cast<int32_t>(now - outgoing.Front().due) >= 0)) {
        const Held& held = outgoing.Front();
        SendNow(held.channel, held.data, held.size);
        outgoing.Pop();
    }
}

bool EnetLink::Send(LinkChannel channel, const uint8_t* data, size_t size) {
    if (status != LinkConnected || size > slotSize) {
        return false;
    }
    bytesSent += size;
    if (channel == ChannelUnreliable && random.Chance(options.netLossPercent)) {
        return true;
    }
    if (options.netDelayMs == 0 && outgoing.count == 0) {
        SendNow(channel, data, size);
        return true;
    }
    return outgoing.Push(NowMs() + options.netDelayMs, channel, data, size);
}

size_t EnetLink::Receive(uint8_t* buffer, size_t capacity) {
    if (received.count == 0) {
        return 0;
    }
    const Held& held = received.Front();
    const size_t stored = held.size < slotSize ? held.size : slotSize;
    std::memcpy(buffer, held.data, stored < capacity ? stored : capacity);
    const size_t size = held.size;
    received.Pop();
    return size;
}

void EnetLink::Close() {
    if (host == nullptr || status == LinkClosed) {
        status = LinkClosed;
        return;
    }
    FlushHeld(true);
    // A peer heard from long ago (the session gave it up as lost) would
    // acknowledge nothing: waiting for it would only hold up the end.
    if (peer != nullptr && status == LinkConnected &&
        enet_time_get() - peer->lastReceiveTime > silentPeerMs) {
        enet_peer_reset(peer);
        status = LinkClosed;
        return;
    }
    if (peer != nullptr && status == LinkConnected) {
        // Disconnects once everything queued has been acknowledged.
        enet_peer_disconnect_later(peer, 0);
        const uint32_t until = NowMs() + closeWaitMs;
        while (status == LinkConnected && static_cast<int32_t>(until - NowMs()) > 0) {
            Pump(10);
        }
        if (status == LinkConnected) {
            enet_peer_reset(peer);
        }
    }
    status = LinkClosed;
}
