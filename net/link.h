// Link: the transport under an online game, one connection to one other
// player. The session sees only this; the ENet link and the in-memory link
// pair used by the tests stand behind it.
#pragma once

#include <cstddef>
#include <cstdint>

enum LinkChannel : uint8_t {
    ChannelReliable = 0,    // delivered, in order: the handshake and the end
    ChannelUnreliable = 1,  // may be lost or reordered: inputs and digests
};

enum LinkStatus : uint8_t {
    LinkConnecting = 0,  // waiting for the other side (hosting or joining)
    LinkConnected = 1,
    LinkClosed = 2,  // the other side went away, or the link was closed
};

class Link {
public:
    virtual ~Link() = default;

    // Moves traffic: what arrived is queued for Receive, what is due goes out.
    // Called once per display frame, before Receive.
    virtual void Service() = 0;
    // Queues one packet for the other side. False when it cannot be sent (not
    // connected, too large, the queue is full).
    virtual bool Send(LinkChannel channel, const uint8_t* data, size_t size) = 0;
    // Takes the next received packet: copies up to capacity bytes and answers
    // its full size (larger than capacity for a packet that did not fit and
    // was cut), or 0 when nothing is waiting.
    virtual size_t Receive(uint8_t* buffer, size_t capacity) = 0;
    virtual LinkStatus Status() const = 0;
    // Sends what is queued and closes; Status turns to LinkClosed.
    virtual void Close() = 0;
    // The link's clock in milliseconds: real time for ENet, the tests' virtual
    // clock for the in-memory link. Only differences are meaningful.
    virtual uint32_t NowMs() const = 0;
    // Bytes handed to Send so far, for the statistics.
    virtual uint64_t BytesSent() const = 0;
};
