// The ENet transport: one host, one peer at a time with a short line of
// clients waiting their turn, and two channels. Serviced without waiting, or
// waiting for a packet; received packets are taken out of ENet only while
// there is room for them, and packets held back for a simulated delay wait in
// a ring allocated once. A waiting host takes the discovery queries off its
// socket through ENet's intercept and answers them there.
#include "net/enet_link.h"

#include <enet/enet.h>

#include <cstring>

namespace {

constexpr size_t channelCount = 2;
// The value a disconnect carries: ENet's own timeouts carry 0, so a nonzero
// one tells the other side that this one closed the link on purpose.
constexpr enet_uint32 goodbyeData = 1;
constexpr enet_uint32 busyData = 2;
// A client let go keeps its ENet slot until its disconnect is acknowledged,
// or this long.
constexpr enet_uint32 droppedTimeoutMs = 2000;

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

// Outgoing packets held for a delay: room for one a millisecond on average
// over the delay, more than the session sends.
size_t HeldCapacity(uint32_t netDelayMs) {
    return 64 + static_cast<size_t>(netDelayMs);
}

// ENet hands its intercept the host alone: each link that answers discovery
// queries notes here which host is its own. A link that finds no free row
// answers none (a process runs one host; tests run a few).
struct InterceptRow {
    ENetHost* host = nullptr;
    EnetLink* link = nullptr;
};
InterceptRow intercepts[8];

void NoteIntercept(ENetHost* host, EnetLink* link) {
    for (InterceptRow& row : intercepts) {
        if (row.host == nullptr) {
            row = {host, link};
            return;
        }
    }
}

void ForgetIntercept(const ENetHost* host) {
    for (InterceptRow& row : intercepts) {
        if (row.host == host) {
            row = {};
        }
    }
}

}  // namespace

void EnetLink::Ring::Push(uint32_t due, uint8_t channel, const uint8_t* data, size_t size) {
    Held& slot = slots[(head + count) % slots.size()];
    slot.due = due;
    slot.channel = channel;
    // A packet too long for a slot keeps its true size and its first bytes;
    // the reader sees the size and drops it.
    slot.size = static_cast<uint16_t>(size > UINT16_MAX ? UINT16_MAX : size);
    std::memcpy(slot.data, data, size < linkPacketLimit ? size : linkPacketLimit);
    ++count;
}

void EnetLink::Ring::Pop() {
    head = static_cast<int32_t>((head + 1) % slots.size());
    --count;
}

EnetLink::EnetLink(const EnetLinkOptions& options)
    : options(options),
      random(options.seed),
      start(std::chrono::steady_clock::now()),
      received(receiveCapacity),
      outgoing(HeldCapacity(options.netDelayMs)) {
    initialized = AcquireEnet();
}

EnetLink::~EnetLink() {
    if (host != nullptr) {
        ForgetIntercept(host);
        if (peer != nullptr && (status == LinkConnected || status == LinkClosing)) {
            enet_peer_disconnect_now(peer, goodbyeData);
        }
        for (int32_t k = 0; k < waitingCount; ++k) {
            enet_peer_disconnect_now(waiting[k], busyData);
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

bool EnetLink::Start(bool hostingNow, const char* hostName, uint16_t port) {
    if (!initialized || host != nullptr) {
        return false;
    }
    hosting = hostingNow;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    // Room for the other side, the clients waiting and as many let go whose
    // disconnects are still under way.
    const size_t peerSlots = hosting ? 2 * (1 + waitingClients) : 1;
    host = enet_host_create(hosting ? &address : nullptr, peerSlots, channelCount, bandwidth,
                            bandwidth);
    if (host == nullptr) {
        return false;
    }
    // ENet's defaults take 32 MB packets and hold 32 MB of them per peer; our
    // longest is under a hundred bytes.
    host->maximumPacketSize = linkPacketLimit;
    host->maximumWaitingData = maxWaitingData;
    if (hosting) {
        if (options.lan.enabled) {
            lan = std::make_unique<LanResponder>(options.lan);
            lan->Start(Port());
            NoteIntercept(host, this);
            host->intercept = Intercept;
        }
        return true;
    }
    if (hostName == nullptr || enet_address_set_host(&address, hostName) != 0) {
        return false;
    }
    joinHost = address.host;
    joinPort = port;
    Knock();
    return peer != nullptr;
}

void EnetLink::Knock() {
    if (peer != nullptr) {
        enet_peer_reset(peer);
    }
    ENetAddress address{};
    address.host = joinHost;
    address.port = joinPort;
    peer = enet_host_connect(host, &address, channelCount, 0);
    lastKnockMs = NowMs();
    if (peer == nullptr) {
        status = LinkClosed;
        return;
    }
    enet_peer_timeout(peer, 0, options.timeoutMs, options.timeoutMs);
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

bool EnetLink::AnsweringLan() const {
    return lan != nullptr && hosting && peer == nullptr && status == LinkConnecting &&
           !refusingOthers;
}

int EnetLink::Intercept(ENetHost* host, ENetEvent*) {
    if (!IsLanMessage(host->receivedData, host->receivedDataLength)) {
        return 0;
    }
    EnetLink* link = nullptr;
    for (const InterceptRow& row : intercepts) {
        if (row.host == host) {
            link = row.link;
        }
    }
    if (link != nullptr && link->AnsweringLan()) {
        uint8_t out[lanAnswerMaxSize];
        const size_t size = link->lan->Answer(host->receivedData, host->receivedDataLength,
                                              link->NowMs(), out, sizeof out);
        if (size > 0) {
            ENetBuffer buffer{};
            buffer.data = out;
            buffer.dataLength = size;
            enet_socket_send(host->socket, &host->receivedAddress, &buffer, 1);
        }
    }
    // Whatever it holds, it is no packet of ENet's.
    return 1;
}

void EnetLink::TurnAway(ENetPeer* client) {
    enet_peer_timeout(client, 0, droppedTimeoutMs, droppedTimeoutMs);
    enet_peer_disconnect(client, busyData);
}

void EnetLink::Connected(ENetPeer* client) {
    if (!hosting) {
        if (client == peer && status == LinkConnecting) {
            status = LinkConnected;
        }
        return;
    }
    enet_peer_timeout(client, 0, options.timeoutMs, options.timeoutMs);
    if (refusingOthers) {
        TurnAway(client);
    } else if (peer == nullptr && status == LinkConnecting) {
        peer = client;
        status = LinkConnected;
    } else if (waitingCount < waitingClients) {
        waiting[waitingCount++] = client;
    } else {
        TurnAway(client);
    }
}

void EnetLink::Disconnected(ENetPeer* client, uint32_t data) {
    if (client == peer && !hosting && status == LinkConnecting) {
        // An answer to an earlier knock, or ENet giving up: knock again.
        Knock();
        return;
    }
    if (client == peer) {
        // ENet resets the peer and may hand the same slot to the next client.
        peer = nullptr;
        status = status == LinkConnected && data != 0 ? LinkLeft : LinkClosed;
        return;
    }
    for (int32_t k = 0; k < waitingCount; ++k) {
        if (waiting[k] == client) {
            waiting[k] = waiting[--waitingCount];
            break;
        }
    }
}

void EnetLink::Pump(uint32_t waitMs) {
    ENetEvent event;
    // With the received ring full, the rest stays in ENet (and in the socket)
    // until Receive has made room: nothing is dropped here. A flood from a
    // client waiting its turn ends the round too, after a bounded number.
    int32_t events = 0;
    while (host != nullptr && !received.Full() && events < 4 * receiveCapacity &&
           enet_host_service(host, &event, waitMs) > 0) {
        waitMs = 0;
        ++events;
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                Connected(event.peer);
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                // An empty packet carries nothing (and ENet gives it no data).
                if (event.peer == peer && status == LinkConnected && event.packet->dataLength > 0) {
                    received.Push(0, event.channelID, event.packet->data, event.packet->dataLength);
                }
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                Disconnected(event.peer, event.data);
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
    if (host != nullptr) {
        enet_host_flush(host);
    }
    if (lan != nullptr) {
        lan->PollIpv6(AnsweringLan(), NowMs());
    }
}

void EnetLink::Service() {
    if (!hosting && host != nullptr && status == LinkConnecting &&
        NowMs() - lastKnockMs >= knockMs) {
        Knock();
    }
    FlushHeld(false);
    Pump(0);
}

void EnetLink::Wait(uint32_t maxMs) {
    const uint32_t until = NowMs() + maxMs;
    const LinkStatus before = status;
    for (;;) {
        Service();
        if (host == nullptr || !received.Empty() || status != before) {
            return;
        }
        const uint32_t now = NowMs();
        auto left = static_cast<int32_t>(until - now);
        if (left <= 0) {
            return;
        }
        if (!outgoing.Empty()) {
            const auto due = static_cast<int32_t>(outgoing.Front().due - now);
            left = due < 1 ? 1 : due < left ? due : left;
        }
        Pump(static_cast<uint32_t>(left));
        if (!received.Empty() || status != before) {
            return;
        }
    }
}

bool EnetLink::SendNow(uint8_t channel, const uint8_t* data, size_t size) {
    if (peer == nullptr || status != LinkConnected) {
        return false;
    }
    const enet_uint32 flags = channel == ChannelReliable ? ENET_PACKET_FLAG_RELIABLE : 0;
    ENetPacket* packet = enet_packet_create(data, size, flags);
    if (packet == nullptr) {
        return false;
    }
    if (enet_peer_send(peer, channel, packet) != 0) {
        enet_packet_destroy(packet);
        return false;
    }
    return true;
}

void EnetLink::FlushHeld(bool all) {
    const uint32_t now = NowMs();
    while (!outgoing.Empty() && (all || static_cast<int32_t>(now - outgoing.Front().due) >= 0)) {
        const Held& held = outgoing.Front();
        SendNow(held.channel, held.data, held.size);
        outgoing.Pop();
    }
}

bool EnetLink::Send(LinkChannel channel, const uint8_t* data, size_t size) {
    if (status != LinkConnected || size == 0 || size > linkPacketLimit) {
        return false;
    }
    bytesSent += size;
    if (channel == ChannelUnreliable && random.Chance(options.netLossPercent)) {
        return true;
    }
    if (options.netDelayMs == 0 && outgoing.Empty()) {
        return SendNow(channel, data, size) || channel == ChannelUnreliable;
    }
    if (outgoing.Full()) {
        if (channel == ChannelUnreliable) {
            ++congested;
            return true;
        }
        // A reliable packet is never dropped: the oldest held one goes out
        // early to make room, which keeps the order.
        const Held& oldest = outgoing.Front();
        SendNow(oldest.channel, oldest.data, oldest.size);
        outgoing.Pop();
    }
    outgoing.Push(NowMs() + options.netDelayMs, channel, data, size);
    return true;
}

size_t EnetLink::Receive(uint8_t* buffer, size_t capacity) {
    if (received.Empty()) {
        return 0;
    }
    const Held& held = received.Front();
    const size_t stored = held.size < linkPacketLimit ? held.size : linkPacketLimit;
    std::memcpy(buffer, held.data, stored < capacity ? stored : capacity);
    const size_t size = held.size;
    received.Pop();
    return size;
}

void EnetLink::DropPeer() {
    if (!hosting) {
        Close();
        return;
    }
    FlushHeld(true);
    if (peer != nullptr) {
        // After what was sent to it (the reason it is let go).
        enet_peer_timeout(peer, 0, droppedTimeoutMs, droppedTimeoutMs);
        enet_peer_disconnect_later(peer, goodbyeData);
        peer = nullptr;
    }
    received.Clear();
    status = LinkConnecting;
    if (waitingCount > 0 && !refusingOthers) {
        peer = waiting[0];
        for (int32_t k = 1; k < waitingCount; ++k) {
            waiting[k - 1] = waiting[k];
        }
        --waitingCount;
        status = LinkConnected;
    }
    enet_host_flush(host);
}

void EnetLink::RefuseOthers() {
    refusingOthers = true;
    for (int32_t k = 0; k < waitingCount; ++k) {
        TurnAway(waiting[k]);
    }
    waitingCount = 0;
    if (host != nullptr) {
        enet_host_flush(host);
    }
}

void EnetLink::Close() {
    if (host == nullptr) {
        status = LinkClosed;
        return;
    }
    if (status == LinkClosing || status == LinkClosed) {
        return;
    }
    FlushHeld(true);
    RefuseOthers();
    if (peer == nullptr || status != LinkConnected) {
        if (peer != nullptr) {
            enet_peer_reset(peer);  // a join still under way
            peer = nullptr;
        }
        status = LinkClosed;
        return;
    }
    // A peer heard from long ago (the session gave it up as lost) would
    // acknowledge nothing: waiting for it would only hold up the end.
    if (enet_time_get() - peer->lastReceiveTime > silentPeerMs) {
        enet_peer_reset(peer);
        peer = nullptr;
        status = LinkClosed;
        return;
    }
    // Disconnects once everything queued has been acknowledged.
    enet_peer_disconnect_later(peer, goodbyeData);
    enet_host_flush(host);
    status = LinkClosing;
}
