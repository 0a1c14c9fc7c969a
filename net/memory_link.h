// MemoryLink: one end of an in-memory link pair for tests. Packets wait in the
// sender's queue until a virtual clock reaches their arrival time; a seeded
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
    ~MemoryLink() override = default;

    // Pairs two ends: what one sends, the other receives. Both are connected
    // from then on.
    static void Connect(MemoryLink& a, MemoryLink& b);

    void Service() override {}
    bool Send(LinkChannel channel, const uint8_t* data, size_t size) override;
    size_t Receive(uint8_t* buffer, size_t capacity) override;
    LinkStatus Status() const override;
    void Close() override;
    uint32_t NowMs() const override { return clock.nowMs; }
    uint64_t BytesSent() const override { return bytesSent; }

    // A vanished machine: from now on everything this end sends is lost, and
    // the other end never hears it close.
    void GoSilent() { silent = true; }
    // Packets this end refused because its queue was full.
    int32_t Overflows() const { return overflows; }

    static constexpr size_t slotSize = 128;
    static constexpr int32_t queueCapacity = 256;

private:
    struct InFlight {
        uint32_t arrival;
        uint32_t sequence;  // breaks ties between equal arrival times
        uint16_t size;
        bool used;
        uint8_t data[slotSize];
    };

    VirtualClock& clock;
    LinkConditions conditions;
    LinkRandom random;
    MemoryLink* peer = nullptr;
    InFlight queue[queueCapacity] = {};
    uint32_t nextSequence = 0;
    uint32_t lastReliableArrival = 0;
    uint64_t bytesSent = 0;
    int32_t overflows = 0;
    bool closed = false;
    uint32_t closedAt = 0;
    bool silent = false;
};
