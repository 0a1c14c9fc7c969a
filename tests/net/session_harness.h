// What the session tests share: fighting scripts, a host and a joiner over an
// in-memory link pair each in its own world, and a bare link end that says
// what a test wants and reads what the session says.
#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "art/art_digest.h"
#include "net/memory_link.h"
#include "net/scripted_peer.h"
#include "rules/fighter.h"
#include "tests/net/peer_ledger.h"
#include "tests/net/peer_world.h"

// Both players wander and fire: the world keeps changing.
inline std::vector<uint8_t> Wander(int32_t player, int32_t frames) {
    std::vector<uint8_t> script(frames);
    for (int32_t t = 0; t < frames; ++t) {
        const int32_t phase = t + player * 23;
        uint8_t c = phase % (50 + player * 17) < 35 ? ControlCharge : 0;
        c |= (phase / 40) % 2 == 0 ? ControlUp : ControlDown;
        c |= (phase / 90) % 2 == 0 ? ControlLeft : ControlRight;
        script[t] = c;
    }
    return script;
}

// A host and a joiner over one in-memory link pair, each in its own world.
class Match {
public:
    explicit Match(int32_t frames, uint32_t roundTripMs = 60, int32_t hostLimit = 0,
                   int32_t joinLimit = -1)
        : hostLink(clock, {roundTripMs / 2, 0, 0, 3}),
          joinLink(clock, {roundTripMs / 2, 0, 0, 5}),
          first(Wander(0, frames)),
          second(Wander(1, frames)) {
        MemoryLink::Connect(hostLink, joinLink);
        SessionOptions hostOptions{0, 2, "Torvik", 5000, hostLimit};
        SessionOptions joinOptions{1, 2, "Melsar", 5000, joinLimit < 0 ? hostLimit : joinLimit};
        host = std::make_unique<ScriptedPeer>(hostLink, hostOptions, first.data(), frames);
        join = std::make_unique<ScriptedPeer>(joinLink, joinOptions, second.data(), frames);
    }

    // Display frames for both, with an optional change to the joiner's world
    // (entered) before its step.
    void Run(int32_t rounds, const std::function<void(int32_t)>& beforeJoin = nullptr,
             bool hostRuns = true, bool joinRuns = true) {
        for (int32_t round = 0; round < rounds; ++round) {
            clock.nowMs += round % 3 == 0 ? 16 : 17;
            if (hostRuns) {
                hostWorld.Step(*host);
            }
            if (joinRuns) {
                joinWorld.Enter();
                if (beforeJoin) {
                    beforeJoin(round);
                }
                join->Step();
                joinWorld.Leave();
            }
        }
    }

    // Both step until each has ended, for at most the given virtual time.
    void RunUntilEnded(uint32_t limitMs) {
        const uint32_t until = clock.nowMs + limitMs;
        while (!(host->Done() && join->Done()) && clock.nowMs < until) {
            Run(1);
        }
    }

    VirtualClock clock;
    PeerWorld hostWorld;
    PeerWorld joinWorld;
    MemoryLink hostLink;
    MemoryLink joinLink;
    std::vector<uint8_t> first;
    std::vector<uint8_t> second;
    std::unique_ptr<ScriptedPeer> host;
    std::unique_ptr<ScriptedPeer> join;
};

// This build's own handshake, as a test peer sends it.
inline HelloPacket OwnHello(uint8_t delay = 2) {
    HelloPacket hello;
    hello.versionMajor = KIVORO_VERSION_MAJOR;
    hello.versionMinor = KIVORO_VERSION_MINOR;
    hello.artDigest = ArtDigest();
#if KIVORO_PIXEL_565
    hello.pixelLayout = PixelLayout565;
#endif
    hello.inputDelay = delay;
    return hello;
}

// The other side is a bare link end that says what the test wants. Read takes
// what the session sent: its handshake, ends, digests, and how far its bytes
// and acknowledgements go.
class RawPeer {
public:
    explicit RawPeer(MemoryLink& link) : link(link) {}

    void Hello(uint8_t delay = 2) { Hello(OwnHello(delay)); }
    void Hello(const HelloPacket& hello) {
        SendBytes(ChannelReliable, buffer, EncodeHello(hello, buffer, sizeof buffer));
    }
    void Input(uint32_t frame, uint32_t ack, uint32_t first, uint8_t count,
               const uint8_t* controls = nullptr) {
        InputPacket input;
        input.frame = frame;
        input.ack = ack;
        input.echoHoldMs = 0xFFFF;
        input.firstInput = first;
        input.count = count;
        if (controls != nullptr) {
            std::memcpy(input.controls, controls, count);
        }
        SendBytes(ChannelUnreliable, buffer, EncodeInput(input, buffer, sizeof buffer));
    }
    void Digest(uint32_t frame, uint64_t digest) {
        SendBytes(ChannelReliable, buffer, EncodeDigest({frame, digest}, buffer, sizeof buffer));
    }
    void End(EndReason reason, uint32_t frame) {
        SendBytes(ChannelReliable, buffer, EncodeEnd({reason, frame}, buffer, sizeof buffer));
    }
    void SendBytes(LinkChannel channel, const uint8_t* data, size_t size) {
        link.Send(channel, data, size);
    }

    // Plays along with zero bytes and no digests (PeerLedger::PlayAlong).
    void PlayAlong() {
        Read();
        const InputPacket input = heard.PlayAlong();
        SendBytes(ChannelUnreliable, buffer, EncodeInput(input, buffer, sizeof buffer));
    }

    void Read() {
        uint8_t in[256];
        for (size_t size; (size = link.Receive(in, sizeof in)) > 0;) {
            heard.Take(in, size);
        }
    }

    MemoryLink& link;
    uint8_t buffer[maxPacketSize];
    PeerLedger heard;
};
