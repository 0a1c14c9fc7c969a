// EnetLink: the online game's transport over ENet (UDP with reliable and
// unreliable channels). One side hosts on a port, the other joins it; an
// optional delay and loss on the sending side make a bad link on one machine.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "net/link.h"
#include "net/link_random.h"

struct _ENetHost;
struct _ENetPeer;

struct EnetLinkOptions {
    // Every outgoing packet is held this long before ENet sees it, and this
    // share of the unreliable ones is dropped (the reliable channel would not
    // survive a loss above ENet, so it is only delayed).
    uint32_t netDelayMs = 0;
    uint32_t netLossPercent = 0;
    uint64_t seed = 1;
    // ENet drops a peer that acknowledges nothing for this long, so a vanished
    // machine closes the link as the session's own silence limit would.
    uint32_t timeoutMs = 5000;
};

class EnetLink : public Link {
public:
    explicit EnetLink(const EnetLinkOptions& options = EnetLinkOptions());
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;
    ~EnetLink() override;

    // Listens on port (0: any free port, see Port) for one player. False when
    // the port cannot be opened.
    bool Host(uint16_t port);
    // Connects to a host by name or address. False when the name does not
    // resolve or ENet cannot start the connection.
    bool Join(const char* hostName, uint16_t port);
    // The local port, once hosting or joining.
    uint16_t Port() const;

    void Service() override;
    bool Send(LinkChannel channel, const uint8_t* data, size_t size) override;
    size_t Receive(uint8_t* buffer, size_t capacity) override;
    LinkStatus Status() const override { return status; }
    // Sends everything held back, then disconnects, waiting up to closeWaitMs
    // for the other side to acknowledge, so an end message is delivered
    // (unless nothing was heard from it for silentPeerMs).
    void Close() override;
    uint32_t NowMs() const override;
    uint64_t BytesSent() const override { return bytesSent; }
    // Bytes ENet put on the wire so far: the packets with its own headers,
    // acknowledgements, resends and pings (its totalSentData counter).
    uint64_t WireBytesSent() const;

    static constexpr size_t slotSize = 128;
    static constexpr int32_t queueCapacity = 256;
    static constexpr uint32_t closeWaitMs = 1000;
    // Close waits for no peer silent this long.
    static constexpr uint32_t silentPeerMs = 1000;

private:
    struct Held {
        uint32_t due;  // for outgoing packets: when ENet gets it
        uint16_t size;
        uint8_t channel;
        uint8_t data[slotSize];
    };
    // A ring of packets: received ones waiting for Receive, or outgoing ones
    // held back by netDelayMs.
    struct Ring {
        Held slots[queueCapacity];
        int32_t head = 0;
        int32_t count = 0;
        bool Push(uint32_t due, uint8_t channel, const uint8_t* data, size_t size);
        Held& Front() { return slots[head]; }
        void Pop();
    };

    bool Start(bool hosting, const char* hostName, uint16_t port);
    void SendNow(uint8_t channel, const uint8_t* data, size_t size);
    void FlushHeld(bool all);
    void Pump(uint32_t waitMs);

    EnetLinkOptions options;
    LinkRandom random;
    std::chrono::steady_clock::time_point start;
    _ENetHost* host = nullptr;
    _ENetPeer* peer = nullptr;
    LinkStatus status = LinkConnecting;
    bool initialized = false;
    Ring received;
    Ring outgoing;
    uint64_t bytesSent = 0;
};
