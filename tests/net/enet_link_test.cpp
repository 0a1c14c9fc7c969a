// Two peers over real ENet on 127.0.0.1 in one process: a few hundred frames
// of play through a delayed, lossy sending side; handshake refusals naming
// what differs; an end by request; and a peer that vanishes. The loops' time
// limits only catch a hang: each is many times what the loop usually takes
// (the machine may be busy), and the durations that matter are printed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "art/art_digest.h"
#include "net/enet_link.h"
#include "net/scripted_peer.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "tests/net/peer_world.h"

namespace {

constexpr int32_t frames = 300;

std::vector<uint8_t> Script(int32_t player) {
    std::vector<uint8_t> script(frames);
    for (int32_t t = 0; t < frames; ++t) {
        const int32_t phase = t + player * 13;
        script[t] = static_cast<uint8_t>((phase % 40 < 25 ? ControlCharge : 0) |
                                         ((phase / 30) % 2 == 0 ? ControlUp : ControlRight));
    }
    return script;
}

void Pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// A limit on a loop that usually takes a second or two.
constexpr auto hangGuard = std::chrono::seconds(20);

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A host link on a free port and a joiner connected to it.
struct LinkPair {
    explicit LinkPair(const EnetLinkOptions& hostOptions = {},
                      const EnetLinkOptions& joinOptions = {})
        : host(hostOptions), join(joinOptions) {
        ok = host.Host(0) && join.Join("127.0.0.1", host.Port());
    }
    EnetLink host;
    EnetLink join;
    bool ok = false;
};

class EnetMatch : public ::testing::Test {
protected:
    void SetUp() override { ResetHeadlessWorld(); }
};

TEST_F(EnetMatch, PlaysThroughABadLinkAndAgreesWithTheOfflineRun) {
    const std::vector<uint8_t> first = Script(0);
    const std::vector<uint8_t> second = Script(1);
    ResetHeadlessWorld();
    for (int32_t frame = 0; frame < frames; ++frame) {
        StepWorld(frame >= 2 ? first[frame - 2] : 0, frame >= 2 ? second[frame - 2] : 0);
    }
    const uint64_t offline = DigestRules();

    ResetHeadlessWorld();
    PeerWorld hostWorld;
    PeerWorld joinWorld;
    EnetLinkOptions bad;
    bad.netDelayMs = 15;
    bad.netLossPercent = 10;
    LinkPair links(bad, bad);
    ASSERT_TRUE(links.ok);
    ScriptedPeer host(links.host, SessionOptions{0, 2, "Torvik", 5000, frames}, first.data(),
                      frames);
    ScriptedPeer join(links.join, SessionOptions{1, 2, "Melsar", 5000, frames}, second.data(),
                      frames);
    const auto start = std::chrono::steady_clock::now();
    while (!(host.Done() && join.Done()) &&
           std::chrono::steady_clock::now() < start + 2 * hangGuard) {
        hostWorld.Step(host);
        joinWorld.Step(join);
        Pause();
    }
    std::printf("%d frames over the bad link in %.2f s\n", frames, SecondsSince(start));
    ASSERT_TRUE(host.Finished()) << host.Session().EndMessage();
    ASSERT_TRUE(join.Finished()) << join.Session().EndMessage();
    hostWorld.Enter();
    EXPECT_EQ(DigestRules(), offline);
    joinWorld.Enter();
    EXPECT_EQ(DigestRules(), offline);
    EXPECT_GT(host.Session().Stats().roundTripMs, 20u);
    EXPECT_GT(host.Session().Stats().rollbacks + join.Session().Stats().rollbacks, 0);
}

// Runs both until each has ended or the guard's time is up.
void RunUntilEnded(RollbackSession& a, RollbackSession& b) {
    const auto deadline = std::chrono::steady_clock::now() + hangGuard;
    while (!(a.Ended() && b.Ended()) && std::chrono::steady_clock::now() < deadline) {
        a.Tick(0);
        b.Tick(0);
        Pause();
    }
}

TEST_F(EnetMatch, EndsOnBothSidesWhenOneQuits) {
    LinkPair links;
    ASSERT_TRUE(links.ok);
    RollbackSession host(links.host, SessionOptions{0, 2, "Torvik"});
    RollbackSession join(links.join, SessionOptions{1, 2, "Melsar"});
    const auto deadline = std::chrono::steady_clock::now() + hangGuard;
    while (join.CurrentFrame() < 30 && std::chrono::steady_clock::now() < deadline) {
        host.Tick(0);
        join.Tick(0);
        Pause();
    }
    ASSERT_GE(join.CurrentFrame(), 30);
    join.Quit();
    RunUntilEnded(host, join);
    ASSERT_TRUE(host.Ended());
    EXPECT_EQ(host.EndReasonCode(), EndQuit);
    EXPECT_STREQ(host.EndMessage(), "Melsar ended the match");
}

TEST_F(EnetMatch, APeerThatVanishesIsLostAfterTheSilenceLimit) {
    EnetLinkOptions shortTimeout;
    shortTimeout.timeoutMs = 400;
    LinkPair links(shortTimeout, shortTimeout);
    ASSERT_TRUE(links.ok);
    RollbackSession host(links.host, SessionOptions{0, 2, "Torvik", 300});
    RollbackSession join(links.join, SessionOptions{1, 2, "Melsar", 300});
    const auto deadline = std::chrono::steady_clock::now() + hangGuard;
    while (host.CurrentFrame() < 20 && std::chrono::steady_clock::now() < deadline) {
        host.Tick(0);
        join.Tick(0);
        Pause();
    }
    ASSERT_GE(host.CurrentFrame(), 20);
    // The joiner's process stops: nothing is serviced or sent from its side.
    // The host ends about a second later (the limits are 300 and 400 ms, and
    // the link's own checks come at intervals); never before the silence
    // limit, and only a host still on after many times that has failed.
    const auto lost = std::chrono::steady_clock::now();
    while (!host.Ended() && std::chrono::steady_clock::now() - lost < hangGuard) {
        host.Tick(0);
        Pause();
    }
    const auto after = std::chrono::steady_clock::now() - lost;
    std::printf("the host ended %.3f s after the joiner went silent\n", SecondsSince(lost));
    ASSERT_TRUE(host.Ended()) << "still on " << SecondsSince(lost) << " s after the silence";
    EXPECT_EQ(host.EndReasonCode(), EndConnectionLost);
    EXPECT_STREQ(host.EndMessage(), "connection lost");
    EXPECT_GE(after, std::chrono::milliseconds(250));
}

// A handshake written by hand, for a side this build cannot be.
void SendHello(EnetLink& link, uint16_t minor, uint64_t art, uint8_t layout) {
    HelloPacket hello;
    hello.versionMajor = KIVORO_VERSION_MAJOR;
    hello.versionMinor = minor;
    hello.artDigest = art;
    hello.pixelLayout = layout;
    hello.inputDelay = 2;
    uint8_t buffer[maxPacketSize];
    link.Send(ChannelReliable, buffer, EncodeHello(hello, buffer, sizeof buffer));
}

#if KIVORO_PIXEL_565
constexpr uint8_t ownLayout = PixelLayout565;
constexpr uint8_t otherLayout = PixelLayout555;
#else
constexpr uint8_t ownLayout = PixelLayout555;
constexpr uint8_t otherLayout = PixelLayout565;
#endif

// The host refuses a handshake that differs, tells the other side why, lets
// it go with a notice naming what differs, and waits on.
void ExpectRefusal(uint16_t minor, uint64_t art, uint8_t layout, EndReason reason,
                   const char* message) {
    LinkPair links;
    ASSERT_TRUE(links.ok);
    RollbackSession host(links.host, SessionOptions{});
    const auto deadline = std::chrono::steady_clock::now() + hangGuard;
    bool sent = false;
    Packet end;
    end.type = 0;
    while (std::chrono::steady_clock::now() < deadline && end.type != PacketEnd) {
        host.Tick(0);
        links.join.Service();
        if (!sent && links.join.Status() == LinkConnected) {
            SendHello(links.join, minor, art, layout);
            sent = true;
        }
        uint8_t buffer[maxPacketSize];
        for (size_t size; (size = links.join.Receive(buffer, sizeof buffer)) > 0;) {
            Packet packet;
            if (DecodePacket(buffer, size, &packet) && packet.type == PacketEnd) {
                end = packet;
            }
        }
        Pause();
    }
    EXPECT_FALSE(host.Ended());
    EXPECT_EQ(host.NoticeCount(), 1);
    EXPECT_EQ(std::string(host.Notice()), std::string("let a client go: ") + message);
    ASSERT_EQ(end.type, PacketEnd) << "the other side was not told";
    EXPECT_EQ(end.end.reason, reason);
}

TEST_F(EnetMatch, HandshakesThatDifferAreRefusedByName) {
    const uint64_t art = ArtDigest();
    char version[128];
    std::snprintf(version, sizeof version,
                  "the other side runs version %d.%d (protocol %d), this side %d.%d (protocol %d)",
                  KIVORO_VERSION_MAJOR, KIVORO_VERSION_MINOR + 1, packetProtocolVersion,
                  KIVORO_VERSION_MAJOR, KIVORO_VERSION_MINOR, packetProtocolVersion);
    ExpectRefusal(KIVORO_VERSION_MINOR + 1, art, ownLayout, EndVersionMismatch, version);
    ExpectRefusal(KIVORO_VERSION_MINOR, art ^ 1, ownLayout, EndArtMismatch,
                  "art differs: the blast shapes are not the other side's");
    const char* layoutMessage =
        ownLayout == PixelLayout555
            ? "pixel layout differs: this side uses 5-5-5, the other side 5-6-5"
            : "pixel layout differs: this side uses 5-6-5, the other side 5-5-5";
    ExpectRefusal(KIVORO_VERSION_MINOR, art, otherLayout, EndLayoutMismatch, layoutMessage);
}

// A second of delay holds more packets than any fixed ring the link once had;
// every reliable one arrives, in order, whatever the queue held.
TEST_F(EnetMatch, ReliablePacketsHeldForADelayAllArriveInOrder) {
    EnetLinkOptions slow;
    slow.netDelayMs = 1000;
    LinkPair links(slow, {});
    ASSERT_TRUE(links.ok);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((links.host.Status() != LinkConnected || links.join.Status() != LinkConnected) &&
           std::chrono::steady_clock::now() < deadline) {
        links.host.Service();
        links.join.Service();
        Pause();
    }
    ASSERT_EQ(links.join.Status(), LinkConnected);
    constexpr int32_t count = 3000;
    for (int32_t k = 0; k < count; ++k) {
        const uint8_t packet[3] = {PacketDigest, static_cast<uint8_t>(k),
                                   static_cast<uint8_t>(k >> 8)};
        ASSERT_TRUE(links.join.Send(ChannelReliable, packet, sizeof packet)) << k;
    }
    int32_t received = 0;
    bool inOrder = true;
    while (received < count && std::chrono::steady_clock::now() < deadline) {
        links.join.Service();
        links.host.Wait(5);
        uint8_t buffer[8];
        for (size_t size; (size = links.host.Receive(buffer, sizeof buffer)) > 0; ++received) {
            inOrder = inOrder && size == 3 && (buffer[1] | buffer[2] << 8) == received;
        }
    }
    EXPECT_EQ(received, count);
    EXPECT_TRUE(inOrder);
}

// Packets are read as they come when the session polls between frames: the
// round trip is the network's, not the frame rate's. Both sides tick once
// per display frame (16 ms) and poll in between, as a window would.
TEST_F(EnetMatch, TheRoundTripIsTheNetworksWhenPolled) {
    LinkPair links;
    ASSERT_TRUE(links.ok);
    PeerWorld hostWorld;
    PeerWorld joinWorld;
    RollbackSession host(links.host, SessionOptions{0, 2, "Torvik"});
    RollbackSession join(links.join, SessionOptions{1, 2, "Melsar"});
    const auto start = std::chrono::steady_clock::now();
    auto nextFrame = start;
    while (join.CurrentFrame() < 120 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        hostWorld.Enter();
        host.Tick(0);
        hostWorld.Leave();
        joinWorld.Enter();
        join.Tick(0);
        joinWorld.Leave();
        nextFrame += std::chrono::microseconds(16667);
        while (std::chrono::steady_clock::now() < nextFrame) {
            host.Poll(1);
            join.Poll(1);
        }
    }
    ASSERT_GE(join.CurrentFrame(), 120);
    std::printf("[ timing   ] round trip at 60 frames a second, polled: host %u ms, joiner %u ms\n",
                host.Stats().roundTripMs, join.Stats().roundTripMs);
    // A frame's length would mean the packets waited for the frame.
    EXPECT_TRUE(host.Stats().roundTripKnown);
    EXPECT_TRUE(join.Stats().roundTripKnown);
    EXPECT_LT(host.Stats().roundTripMs, 16u);
    EXPECT_LT(join.Stats().roundTripMs, 16u);
}

}  // namespace

// A rematch: the joiner may start before the host listens again. A join goes
// on knocking until the session's limit, so a host that comes 3.7 s late
// (after ENet's own third try, before its fourth at 7.5 s) is still reached.
TEST_F(EnetMatch, AJoinReachesAHostThatListensLate) {
    uint16_t port = 0;
    {
        EnetLink probe;
        ASSERT_TRUE(probe.Host(0));
        port = probe.Port();
    }
    EnetLink join;
    ASSERT_TRUE(join.Join("127.0.0.1", port));
    RollbackSession joiner(join, SessionOptions{1, 2, "Melsar"});
    const auto start = std::chrono::steady_clock::now();
    while (SecondsSince(start) < 3.7) {
        joiner.Tick(0);
        joiner.Poll(5);
    }
    ASSERT_FALSE(joiner.Ended()) << joiner.EndMessage();
    EnetLink hostLink;
    ASSERT_TRUE(hostLink.Host(port));
    RollbackSession host(hostLink, SessionOptions{0, 2, "Torvik"});
    const auto listening = std::chrono::steady_clock::now();
    while (!(host.Playing() && joiner.Playing()) && !joiner.Ended() &&
           std::chrono::steady_clock::now() - listening < hangGuard) {
        host.Tick(0);
        joiner.Tick(0);
        Pause();
    }
    std::printf("[ timing   ] playing %.2f s after the host listened, %.2f s after the join\n",
                SecondsSince(listening), SecondsSince(start));
    EXPECT_TRUE(joiner.Playing()) << joiner.EndMessage();
    EXPECT_TRUE(host.Playing()) << host.EndMessage();
}
