// EnetLink: the online game's transport over ENet (UDP with reliable and
// unreliable channels). One side hosts on a port, the other joins it; an
// optional delay and loss on the sending side make a bad link on one machine.
// A host waiting for a player answers the discovery queries of the local
// network (LanResponder), the IPv4 ones on its own socket.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "net/lan_responder.h"
#include "net/link.h"
#include "net/link_random.h"

struct _ENetEvent;
struct _ENetHost;
struct _ENetPeer;

struct EnetLinkOptions {
    // Every outgoing packet is held this long before ENet sees it, and this
    // share of the unreliable ones is dropped (the reliable channel would not
    // survive a loss above ENet, so it is only delayed).
    uint32_t netDelayMs = 0;
    uint32_t netLossPercent = 0;
    uint64_t seed = 1;
    // ENet drops a peer that acknowledges nothing for this long.
    uint32_t timeoutMs = 5000;
    // A host with lan.enabled answers discovery queries while it waits for a
    // player (not while one is connected, nor once it refuses others).
    LanAdvert lan;
};

class EnetLink : public Link {
public:
    explicit EnetLink(const EnetLinkOptions& options = EnetLinkOptions());
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;
    // Disconnects at once whoever is still connected.
    ~EnetLink() override;

    // Listens on port (0: any free port, see Port). The first client to
    // connect is the other side; up to waitingClients more wait their turn
    // (DropPeer), the rest are not answered. False when the port cannot be
    // opened.
    bool Host(uint16_t port);
    // Connects to a host by name or address. False when the name does not
    // resolve or ENet cannot start the connection. Until it is answered it
    // knocks afresh every knockMs, so that a host that starts listening a
    // little after the join (a rematch) is reached within a second; the
    // session decides when to give up.
    bool Join(const char* hostName, uint16_t port);
    // The local port, once hosting or joining.
    uint16_t Port() const;

    void Service() override;
    void Wait(uint32_t maxMs) override;
    bool Send(LinkChannel channel, const uint8_t* data, size_t size) override;
    size_t Receive(uint8_t* buffer, size_t capacity) override;
    LinkStatus Status() const override { return status; }
    void DropPeer() override;
    void RefuseOthers() override;
    // Everything held back goes out now; the disconnect follows once ENet
    // has it acknowledged. A peer not heard from for silentPeerMs is given up
    // at once instead.
    void Close() override;
    uint32_t NowMs() const override;
    uint64_t BytesSent() const override { return bytesSent; }
    // Bytes ENet put on the wire so far: the packets with its own headers,
    // acknowledgements, resends and pings (its totalSentData counter).
    uint64_t WireBytesSent() const;
    // Unreliable packets dropped because the queue of held ones was full.
    int32_t Congested() const { return congested; }
    // The discovery answers sent so far (none without lan.enabled).
    int32_t LanAnswered() const { return lan != nullptr ? lan->Answered() : 0; }

    static constexpr int32_t waitingClients = 2;
    // ENet holds no more than this of received data for the other side
    // before it stops acknowledging (the sender then resends).
    static constexpr uint32_t maxWaitingData = 16 * 1024;
    // Bytes a second each way, as ENet is told them: they size its reliable
    // window (16 KB) and its throttling of unreliable packets. A match sends
    // a few kilobytes a second; a headless one on one machine, unpaced,
    // bursts past this (about 1 MB/s) and ENet's throttle thins its inputs.
    static constexpr uint32_t bandwidth = 256 * 1024;
    static constexpr int32_t receiveCapacity = 256;
    // Close gives up at once on a peer silent this long.
    static constexpr uint32_t silentPeerMs = 1000;
    // A join not answered is started again this often (ENet itself would
    // send its request again only after 0.5, 1.5, 3.5 and 7.5 s).
    static constexpr uint32_t knockMs = 1000;

private:
    struct Held {
        uint32_t due;  // for outgoing packets: when ENet gets it
        uint16_t size;
        uint8_t channel;
        uint8_t data[linkPacketLimit];
    };
    // A ring of packets: received ones waiting for Receive, or outgoing ones
    // held back by netDelayMs. Its slots are allocated once, up front.
    class Ring {
    public:
        explicit Ring(size_t capacity) : slots(capacity) {}
        bool Full() const { return count == static_cast<int32_t>(slots.size()); }
        bool Empty() const { return count == 0; }
        void Push(uint32_t due, uint8_t channel, const uint8_t* data, size_t size);
        Held& Front() { return slots[head]; }
        void Pop();
        void Clear() { head = count = 0; }

    private:
        std::vector<Held> slots;
        int32_t head = 0;
        int32_t count = 0;
    };

    bool Start(bool hosting, const char* hostName, uint16_t port);
    // Starts the join (again, dropping the attempt under way).
    void Knock();
    bool SendNow(uint8_t channel, const uint8_t* data, size_t size);
    void FlushHeld(bool all);
    void Pump(uint32_t waitMs);
    void Connected(_ENetPeer* client);
    void Disconnected(_ENetPeer* client, uint32_t data);
    void TurnAway(_ENetPeer* client);
    bool AnsweringLan() const;
    // ENet's intercept: takes a discovery datagram off the host's socket
    // before ENet reads it as its own (1), or leaves it to ENet (0).
    static int Intercept(_ENetHost* host, _ENetEvent* event);

    EnetLinkOptions options;
    LinkRandom random;
    std::chrono::steady_clock::time_point start;
    _ENetHost* host = nullptr;
    _ENetPeer* peer = nullptr;
    _ENetPeer* waiting[waitingClients] = {};
    int32_t waitingCount = 0;
    bool hosting = false;
    bool refusingOthers = false;
    uint32_t joinHost = 0;  // the host joined, as ENet holds its address
    uint16_t joinPort = 0;
    uint32_t lastKnockMs = 0;
    LinkStatus status = LinkConnecting;
    bool initialized = false;
    Ring received;
    Ring outgoing;
    uint64_t bytesSent = 0;
    int32_t congested = 0;
    std::unique_ptr<LanResponder> lan;
};
