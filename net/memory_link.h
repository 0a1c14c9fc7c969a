// MemoryLink: one end of an in-memory link pair for tests. Packets wait in the
// receiver's inbox until a virtual clock reaches their arrival time; a seeded
// model delays, jitters and loses them like a bad network, faster than real
// time and the same on every run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/link.h"
#include "net/link_random.h"

// The clock both ends of a pair read; tests move it forward by hand.
struct VirtualClock {
    uint32_t nowMs = 0;
};

// How one direction of the link treats what is sent over it. The reliable
// channel is delayed like the other but never loses or reorders a packet.
struct LinkConditions {
    uint32_t delayMs = 0;      // one way
    uint32_t jitterMs = 0;     // each unreliable packet is up to this much later
    uint32_t lossPercent = 0;  // share of unreliable packets lost
    uint64_t seed = 1;
};

class MemoryLink : public Link {
public:
    // sending: the conditions of what this end sends.
    MemoryLink(VirtualClock& clock, const LinkConditions& sending);
    MemoryLink(const MemoryLink&) = delete;
    MemoryLink& operator=(const MemoryLink&) = delete;
    // The other end hears nothing more: as a machine switched off.
    ~MemoryLink() override;

    // Pairs two ends: what one sends, the other receives. Both are connected
    // from then on. An end whose other side left or was dropped may be paired
    // again (a host taking its next client).
    static void Connect(MemoryLink& a, MemoryLink& b);

    void Service() override {}
    void Wait(uint32_t) override {}
    bool Send(LinkChannel channel, const uint8_t* data, size_t size) override;
    size_t Receive(uint8_t* buffer, size_t capacity) override;
    LinkStatus Status() const override;
    // Tells the other end, after what was sent to it, and waits for a new one.
    void DropPeer() override;
    void RefuseOthers() override {}
    // Closed at once; the other end hears it after what was sent before it.
    void Close() override;
    uint32_t NowMs() const override { return clock.nowMs; }
    uint64_t BytesSent() const override { return bytesSent; }

    // A vanished machine: from now on everything this end sends is lost, and
    // the other end never hears it close.
    void GoSilent() { silent = true; }
    // Packets refused because the other end's inbox was full.
    int32_t Overflows() const { return overflows; }

    static constexpr int32_t inboxCapacity = 512;

private:
    struct InFlight {
        uint32_t arrival;
        uint32_t sequence;  // breaks ties between equal arrival times
        uint16_t size;
        bool used;
        uint8_t data[linkPacketLimit];
    };

    bool Deliver(LinkChannel channel, const uint8_t* data, size_t size);
    // This end stops sending to the other, which hears it leave after what
    // was sent to it (unless this end went silent).
    void Detach();

    VirtualClock& clock;
    LinkConditions conditions;
    LinkRandom random;
    MemoryLink* peer = nullptr;
    InFlight inbox[inboxCapacity] = {};
    int32_t inFlight = 0;  // inbox slots used
    uint32_t nextSequence = 0;
    uint32_t lastReliableArrival = 0;
    uint64_t bytesSent = 0;
    int32_t overflows = 0;
    bool paired = false;  // connected to an end, which may have gone since
    bool closed = false;
    bool silent = false;
    // The other end left: known here from otherLeftAt on.
    bool otherLeft = false;
    uint32_t otherLeftAt = 0;
};
