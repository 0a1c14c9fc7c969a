// The in-memory link: a fixed inbox of packets in flight per end, delivered by
// arrival time on the shared virtual clock.
#include "net/memory_link.h"

#include <cstring>
#include <initializer_list>

MemoryLink::MemoryLink(VirtualClock& clock, const LinkConditions& sending)
    : clock(clock), conditions(sending), random(sending.seed) {}

MemoryLink::~MemoryLink() {
    if (peer != nullptr) {
        peer->peer = nullptr;
    }
}

void MemoryLink::Connect(MemoryLink& a, MemoryLink& b) {
    for (MemoryLink* end : {&a, &b}) {
        end->closed = false;
        end->paired = true;
        end->otherLeft = false;
        end->lastReliableArrival = 0;
    }
    a.peer = &b;
    b.peer = &a;
}

bool MemoryLink::Deliver(LinkChannel channel, const uint8_t* data, size_t size) {
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
    for (InFlight& slot : peer->inbox) {
        if (!slot.used) {
            slot.used = true;
            slot.arrival = arrival;
            slot.sequence = nextSequence++;
            slot.size = static_cast<uint16_t>(size);
            std::memcpy(slot.data, data, size);
            ++peer->inFlight;
            return true;
        }
    }
    ++overflows;
    return false;
}

bool MemoryLink::Send(LinkChannel channel, const uint8_t* data, size_t size) {
    if (Status() != LinkConnected || size == 0 || size > linkPacketLimit) {
        return false;
    }
    bytesSent += size;
    if (peer == nullptr || silent ||
        (channel == ChannelUnreliable && random.Chance(conditions.lossPercent))) {
        return true;
    }
    return Deliver(channel, data, size);
}

size_t MemoryLink::Receive(uint8_t* buffer, size_t capacity) {
    if (closed || inFlight == 0) {
        return 0;
    }
    InFlight* next = nullptr;
    for (InFlight& slot : inbox) {
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
    --inFlight;
    return next->size;
}

LinkStatus MemoryLink::Status() const {
    if (closed) {
        return LinkClosed;
    }
    // The other end's leaving arrives after everything it sent before it.
    if (otherLeft && clock.nowMs >= otherLeftAt && inFlight == 0) {
        return LinkLeft;
    }
    if (!paired) {
        return LinkConnecting;
    }
    return LinkConnected;
}

void MemoryLink::Detach() {
    if (peer == nullptr) {
        return;
    }
    if (!silent) {
        peer->otherLeft = true;
        peer->otherLeftAt = clock.nowMs + conditions.delayMs;
    }
    peer->peer = nullptr;
    peer = nullptr;
}

void MemoryLink::DropPeer() {
    Detach();
    for (InFlight& slot : inbox) {
        slot.used = false;
    }
    inFlight = 0;
    paired = false;
    otherLeft = false;
}

void MemoryLink::Close() {
    Detach();
    closed = true;
}
