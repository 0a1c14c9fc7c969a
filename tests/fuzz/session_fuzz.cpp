// Drives one side of an online match (a RollbackSession on the in-memory
// link, host or joiner) with what a peer could do, as the fuzzer chooses:
// handshakes (with any rule), inputs, digests and ends with any numbers in them, raw bytes,
// a closed or silent link, new clients, time passing, a quit. Besides the
// sanitizers' checks, the phases must keep their limits whatever was sent:
// once the peer goes silent the match ends (a host may only be back to
// waiting), and a quit ends it within a second.
#include <cstdint>
#include <cstring>

#include "art/art_digest.h"
#include "engine/little_endian.h"
#include "net/memory_link.h"
#include "net/rollback_session.h"
#include "rules/headless_world.h"
#include "rules/world_snapshot.h"
#include "tests/net/peer_ledger.h"

namespace {

// The fuzzer's bytes as numbers; zeros once they run out.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool More() const { return at < size; }
    uint8_t U8() { return at < size ? data[at++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(U8() | U8() << 8); }
    uint32_t U32() { return U16() | static_cast<uint32_t>(U16()) << 16; }
    uint64_t U64() { return U32() | static_cast<uint64_t>(U32()) << 32; }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

// A packet built by hand, fields stored low byte first.
class PacketWriter {
public:
    void U8(uint8_t v) { bytes[size++] = v; }
    void U16(uint16_t v) {
        PutLittle16(bytes + size, v);
        size += 2;
    }
    void U32(uint32_t v) {
        PutLittle32(bytes + size, v);
        size += 4;
    }
    void U64(uint64_t v) {
        PutLittle64(bytes + size, v);
        size += 8;
    }
    uint8_t bytes[256] = {};
    size_t size = 0;
};

// A number near one the session would believe, or any 32-bit value.
uint32_t FrameNear(Bytes& in, int32_t near) {
    const uint8_t how = in.U8();
    if ((how & 1) != 0) {
        return in.U32();
    }
    return static_cast<uint32_t>(near + static_cast<int8_t>(in.U8()));
}

constexpr int32_t peerCount = 3;

struct Peer {
    explicit Peer(VirtualClock& clock) : link(clock, {}) {}
    MemoryLink link;
    PeerLedger ledger;
};

class Run {
public:
    Run(const uint8_t* data, size_t size) : in(data, size) {}

    void Play() {
        const uint8_t setup = in.U8();
        const bool hosting = (setup & 1) == 0;
        SessionOptions options;
        options.localPlayer = hosting ? 0 : 1;
        options.inputDelay = (setup >> 1) % (maxInputDelay + 1);
        options.name = "Fuzz";
        options.frameLimit = (setup & 0x20) != 0 ? in.U8() * 4 : 0;
        options.address = "fuzz:1";
        // A host may play to a kill, which the rule then decides.
        if ((setup & 0x80) != 0) {
            options.rule = MatchRule{MatchFirstToKills, 1};
        }
        MemoryLink link(clock, {in.U8() % 64u, in.U8() % 16u, in.U8() % 50u, 1});
        RollbackSession session(link, options);
        // Mostly connected from the start; otherwise a join nobody answers
        // until a client comes (op 12).
        if ((setup & 0x40) == 0) {
            MemoryLink::Connect(link, peers[0].link);
            connected = true;
        }
        while (in.More()) {
            Op(session, link);
            Read();
        }
        // The peer goes silent: the match ends, or a host waits for another.
        peers[current].link.GoSilent();
        Tick(session, 40000, 100);
        if (!session.Ended() && !(hosting && session.Phase() == PhaseConnecting)) {
            __builtin_trap();
        }
        // A quit ends it within a second, whatever the phase.
        session.Quit();
        Tick(session, 1000, 16);
        if (!session.Ended()) {
            __builtin_trap();
        }
    }

private:
    // Ticks every stepMs for forMs: the limits are checked at each tick, so
    // long steps test them as well as display frames would.
    void Tick(RollbackSession& session, uint32_t forMs, uint32_t stepMs) {
        const uint32_t until = clock.nowMs + forMs;
        while (!session.Ended() && clock.nowMs < until) {
            clock.nowMs += stepMs;
            session.Tick(0);
            Read();
        }
    }

    void Read() {
        uint8_t buffer[256];
        for (Peer& peer : peers) {
            for (size_t size; (size = peer.link.Receive(buffer, sizeof buffer)) > 0;) {
                peer.ledger.Take(buffer, size);
            }
        }
    }

    void Send(LinkChannel channel, const PacketWriter& packet) {
        peers[current].link.Send(channel, packet.bytes, packet.size);
    }

    void Op(RollbackSession& session, MemoryLink& link) {
        PacketWriter packet;
        const uint8_t op = in.U8();
        switch (op % 13) {
            case 0:
                clock.nowMs += 1 + in.U8() % 40;
                session.Tick(in.U8());
                break;
            case 1: {
                const uint8_t flags = in.U8();
                HelloPacket hello;
                hello.protocol = static_cast<uint8_t>(packetProtocolVersion ^ (flags & 1));
                hello.versionMajor = KIVORO_VERSION_MAJOR;
                hello.versionMinor = static_cast<uint16_t>(KIVORO_VERSION_MINOR + (flags >> 1 & 1));
                hello.artDigest = artDigest ^ (flags >> 2 & 1);
                hello.pixelLayout = static_cast<uint8_t>(flags >> 3 & 1);
#if KIVORO_PIXEL_565
                hello.pixelLayout ^= 1;
#endif
                // The delay's top bit asks for a rule: any two bytes, in
                // range or not.
                const uint8_t delay = in.U8();
                hello.inputDelay = static_cast<uint8_t>((delay & 0x7F) % (maxInputDelay + 1));
                hello.nameLength = static_cast<uint8_t>((flags >> 4) % (maxNameLength + 1));
                std::memset(hello.name, 'a', hello.nameLength);
                packet.size = EncodeHello(hello, packet.bytes, sizeof packet.bytes);
                if ((delay & 0x80) != 0 && hello.protocol == packetProtocolVersion) {
                    packet.bytes[packet.size - 2] = in.U8();
                    packet.bytes[packet.size - 1] = in.U8();
                }
                Send(ChannelReliable, packet);
                break;
            }
            case 2: {
                const PeerLedger& ledger = peers[current].ledger;
                packet.U8(PacketInput);
                packet.U32(FrameNear(in, static_cast<int32_t>(ledger.theirBytes)));
                packet.U32(FrameNear(in, static_cast<int32_t>(ledger.theirBytes)));
                packet.U8(in.U8());
                packet.U32(in.U32());
                packet.U32(in.U32());
                packet.U16(in.U16());
                packet.U32(FrameNear(in, static_cast<int32_t>(ledger.acked)));
                const uint8_t count = in.U8() % (maxInputsPerPacket + 1);
                packet.U8(count);
                for (uint8_t k = 0; k < count; ++k) {
                    packet.U8(in.U8());
                }
                Send(ChannelUnreliable, packet);
                break;
            }
            case 3:
                packet.U8(PacketDigest);
                packet.U32((in.U8() & 1) != 0 ? in.U32() : in.U8() % 16 * 60u);
                packet.U64(in.U64());
                Send(ChannelReliable, packet);
                break;
            case 4:
                packet.U8(PacketEnd);
                packet.U8(in.U8() % 16);
                packet.U32(FrameNear(in, session.ConfirmedFrames()));
                Send(ChannelReliable, packet);
                break;
            case 5: {
                const uint8_t length = in.U8() % 140;
                for (uint8_t k = 0; k < length; ++k) {
                    packet.U8(in.U8());
                }
                Send((op & 0x80) != 0 ? ChannelReliable : ChannelUnreliable, packet);
                break;
            }
            case 6:
                peers[current].link.Close();
                break;
            case 7:
                peers[current].link.GoSilent();
                break;
            case 8:
                session.Quit();
                break;
            case 9:
                session.Poll();
                break;
            case 10: {
                const InputPacket input = peers[current].ledger.PlayAlong();
                packet.size = EncodeInput(input, packet.bytes, sizeof packet.bytes);
                Send(ChannelUnreliable, packet);
                break;
            }
            case 11:
                clock.nowMs += in.U16();
                session.Tick(0);
                break;
            case 12:
                // A new client, once the session let the last one go.
                if (link.Status() == LinkConnecting && current + 1 < peerCount) {
                    current += connected ? 1 : 0;
                    MemoryLink::Connect(link, peers[current].link);
                    connected = true;
                }
                break;
        }
    }

    Bytes in;
    const uint64_t artDigest = ArtDigest();
    VirtualClock clock;
    Peer peers[peerCount] = {Peer(clock), Peer(clock), Peer(clock)};
    int32_t current = 0;
    bool connected = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Every run starts from the same fresh world.
    static WorldSnapshot* start = [] {
        ResetHeadlessWorld();
        auto* snapshot = new WorldSnapshot();
        snapshot->AllocateForWorld();
        snapshot->Take();
        return snapshot;
    }();
    start->Restore();
    Run run(data, size);
    run.Play();
    return 0;
}
