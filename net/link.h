// Link: the transport under an online game, one connection to one other
// player. The session sees only this; the ENet link and the in-memory link
// pair used by the tests stand behind it.
#pragma once

#include <cstddef>
#include <cstdint>

// The longest packet a link carries (the packets' own longest is less); ENet
// is told to refuse anything longer.
inline constexpr size_t linkPacketLimit = 128;

enum LinkChannel : uint8_t {
    ChannelReliable = 0,    // delivered, in order: the handshake, the digests and the end
    ChannelUnreliable = 1,  // may be lost or reordered: the inputs
};

enum LinkStatus : uint8_t {
    LinkConnecting = 0,  // no other side yet: hosting and waiting, or joining
    LinkConnected = 1,
    LinkClosing = 2,  // Close was called: what was sent is being delivered
    LinkClosed = 3,   // closed here, or the other side vanished (its link timed out)
    LinkLeft = 4,     // the other side closed the link
};

class Link {
public:
    virtual ~Link() = default;

    // Moves traffic: what arrived is queued for Receive, what is due goes out.
    // Never waits; may be called any number of times a frame.
    virtual void Service() = 0;
    // Services the link until a packet waits for Receive, the status changes
    // or maxMs pass, whichever is first.
    virtual void Wait(uint32_t maxMs) = 0;
    // Queues one packet of 1 .. linkPacketLimit bytes for the other side. A
    // reliable packet is never dropped on this side: false only when the link
    // is not connected or the packet is empty or too long. An unreliable one
    // may be dropped as a congested network would.
    virtual bool Send(LinkChannel channel, const uint8_t* data, size_t size) = 0;
    // Takes the next received packet: copies up to capacity bytes and answers
    // its full size (larger than capacity for a packet that did not fit and
    // was cut), or 0 when nothing is waiting. Empty packets are never handed
    // over.
    virtual size_t Receive(uint8_t* buffer, size_t capacity) = 0;
    virtual LinkStatus Status() const = 0;
    // Hosting: lets the other side go (it failed the handshake), after what
    // was sent to it, and forgets what it sent; the next client already
    // waiting, if any, becomes the other side. Status is then LinkConnected or
    // LinkConnecting. Joining, or over a link that cannot host: as Close.
    virtual void DropPeer() = 0;
    // The match's other side is settled: clients waiting or still to come are
    // turned away.
    virtual void RefuseOthers() = 0;
    // Starts the goodbye: what was sent is delivered, then the link closes.
    // Status is LinkClosing until then (Service moves it on), then LinkClosed.
    virtual void Close() = 0;
    // The link's clock in milliseconds: real time for ENet, the tests' virtual
    // clock for the in-memory link. Only differences are meaningful.
    virtual uint32_t NowMs() const = 0;
    // Bytes handed to Send so far, for the statistics.
    virtual uint64_t BytesSent() const = 0;
};
