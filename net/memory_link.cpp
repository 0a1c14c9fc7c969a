// The in-memory link: a fixed queue of packets in flight per end, delivered by
// arrival time on the shared virtual clock.
#include "net/memory_link.h"

#include <cstring>

MemoryLink::MemoryLink(VirtualClock& clock, const LinkConditions& sending)
    : clock(clock), conditions(sending), random(sending.seed) {}

void MemoryLink::Connect(MemoryLink& a, MemoryLink& b) {
    a.peer = &b;
    b.peer = &a;
}

bool MemoryLink::Send(LinkChannel channel, const uint8_t* data, size_t size) {
    if (peer == nullptr || closed || size > slotSize) {
        return false;
    }
    bytesSent += size;
    if (silent || (channel == ChannelUnreliable && random.Chance(conditions.lossPercent))) {
        return true;
    }
    uint32_t arrival = clock.nowMs + conditions.delayMs;
    if (channel == ChannelUnreliable) {
        arrival += random.Below(conditions.jitterMs + 1);
    } else {
        // In order: never before the reliable packet sent ahead of it.
        if (arrival < lastReliableArrival) {
            arrival = lastReliableArrival;
        }
        lastReliableArrival = arrival;
    }
    for (InFlight& slot : queue) {
        if (!slot.used) {
            slot.used = true;
            slot.arrival = arrival;
            slot.sequence = nextSequence++;
            slot.size = static_cast<uint16_t>(size);
            std::memcpy(slot.data, data, size);
            return true;
        }
    }
    ++overflows;
    return false;
}

size_t MemoryLink::Receive(uint8_t* buffer, size_t capacity) {
    if (peer == nullptr || closed) {
        return 0;
    }
    InFlight* next = nullptr;
    for (InFlight& slot : peer->queue) {
        if (slot.used && slot.arrival <= clock.nowMs &&
            (next == nullptr || slot.arrival < next->arrival ||
             (slot.arrival == next->arrival && slot.sequence < next->sequence))) {
            next = &slot;
        }
    }
    if (next == nullptr) {
        return 0;
    }
    std::memcpy(buffer, next->data, next->size < capacity ? next->size : capacity);
    next->used = false;
    return next->size;
}

LinkStatus MemoryLink::Status() const {
    if (peer == nullptr) {
        return LinkConnecting;
    }
    if (closed) {
        return LinkClosed;
    }
    // The other end's close arrives after everything it sent before it.
    if (peer->closed && !peer->silent && clock.nowMs >= peer->closedAt + peer->conditions.delayMs) {
        for (const InFlight& slot : peer->queue) {
            if (slot.used) {
                return LinkConnected;
            }
        }
        return LinkClosed;
    }
    return LinkConnected;
}

void MemoryLink::Close() {
    if (!closed) {
        closed = true;
        closedAt = clock.nowMs;
    }
}
