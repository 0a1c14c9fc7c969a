// The phases of a match and their limits over the in-memory link: a join no
// one answers, handshakes that never come or differ, a host that outlives
// such clients, ends that lie or come early, a match that stops moving or
// sends no digests, a quit that ends in time whatever the other side does,
// and a match without a frame limit meeting one that has one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/headless_world.h"
#include "tests/net/session_harness.h"

namespace {

class SessionLifecycle : public ::testing::Test {
protected:
    void SetUp() override { ResetHeadlessWorld(); }

    // Ticks the session every 16 ms of virtual time, with the raw peer's turn
    // (if any) before each, until it ends or limitMs pass; answers the time
    // it took.
    uint32_t RunAlone(RollbackSession& session, uint32_t limitMs,
                      const std::function<void()>& peerTurn = nullptr) {
        const uint32_t start = clock.nowMs;
        while (!session.Ended() && clock.nowMs - start < limitMs) {
            clock.nowMs += 16;
            if (peerTurn) {
                peerTurn();
            }
            session.Tick(0);
        }
        return clock.nowMs - start;
    }

    VirtualClock clock;
};

SessionOptions JoinerOptions() {
    SessionOptions options{1, 2, "Melsar"};
    options.address = "10.1.2.3:47700";
    return options;
}

TEST_F(SessionLifecycle, AJoinNobodyAnswersEndsAfterTheSilenceLimit) {
    MemoryLink link(clock, {});
    RollbackSession join(link, JoinerOptions());
    const uint32_t took = RunAlone(join, 20000);
    ASSERT_TRUE(join.Ended());
    EXPECT_EQ(join.EndReasonCode(), EndNoAnswer);
    EXPECT_STREQ(join.EndMessage(), "nobody answered at 10.1.2.3:47700");
    EXPECT_GE(took, 5000u);
    EXPECT_LE(took, 5100u);
}

TEST_F(SessionLifecycle, AHostWaitsUntilCancelledAndSaysSo) {
    MemoryLink link(clock, {});
    RollbackSession host(link, SessionOptions{});
    RunAlone(host, 60000);
    EXPECT_EQ(host.Phase(), PhaseConnecting);
    host.Quit();
    EXPECT_TRUE(host.Ended());
    EXPECT_EQ(host.EndReasonCode(), EndCancelled);
    EXPECT_STREQ(host.EndMessage(), "cancelled before the match began");
}

// A host that never speaks: the joiner waits the silence limit and the time
// for a host to let two clients ahead of it go, then says so.
TEST_F(SessionLifecycle, AHostThatNeverSpeaksIsGivenUp) {
    MemoryLink joinLink(clock, {});
    MemoryLink rawLink(clock, {});
    MemoryLink::Connect(joinLink, rawLink);
    RollbackSession join(joinLink, JoinerOptions());
    const uint32_t took = RunAlone(join, 30000);
    ASSERT_TRUE(join.Ended());
    EXPECT_EQ(join.EndReasonCode(), EndNoHandshake);
    EXPECT_STREQ(join.EndMessage(), "10.1.2.3:47700 answered but never started the match");
    EXPECT_LE(took, 5000u + 2 * 2000u + 100u);
}

// A client that connects and never completes the handshake, then one that
// says End(Finished) before its handshake and goes silent: the host lets each
// go and plays the real player who comes next.
TEST_F(SessionLifecycle, AHostOutlivesClientsThatNeverFinishTheHandshake) {
    MemoryLink hostLink(clock, {10, 0, 0, 3});
    PeerWorld hostWorld;
    const std::vector<uint8_t> hostScript = Wander(0, 300);
    ScriptedPeer host(hostLink, SessionOptions{0, 2, "Torvik", 5000, 300}, hostScript.data(), 300);

    MemoryLink mute(clock, {10, 0, 0, 5});
    MemoryLink::Connect(hostLink, mute);
    for (int32_t k = 0; k < 200; ++k) {
        clock.nowMs += 16;
        host.Step();
    }
    EXPECT_EQ(host.Session().NoticeCount(), 1);
    EXPECT_STREQ(host.Session().Notice(), "let a client go: a client sent no handshake in time");
    EXPECT_EQ(host.Session().Phase(), PhaseConnecting);

    MemoryLink liar(clock, {10, 0, 0, 7});
    MemoryLink::Connect(hostLink, liar);
    RawPeer raw(liar);
    raw.End(EndFinished, 0);
    for (int32_t k = 0; k < 20; ++k) {
        clock.nowMs += 16;
        host.Step();
    }
    liar.GoSilent();
    for (int32_t k = 0; k < 1000; ++k) {
        clock.nowMs += 16;
        host.Step();
    }
    EXPECT_EQ(host.Session().NoticeCount(), 2);
    EXPECT_EQ(host.Session().Phase(), PhaseConnecting);
    EXPECT_FALSE(host.Done());

    MemoryLink joinLink(clock, {10, 0, 0, 9});
    MemoryLink::Connect(hostLink, joinLink);
    PeerWorld joinWorld;
    const std::vector<uint8_t> joinScript = Wander(1, 300);
    ScriptedPeer join(joinLink, SessionOptions{1, 2, "Melsar", 5000, 300}, joinScript.data(), 300);
    for (int32_t k = 0; k < 2000 && !(host.Done() && join.Done()); ++k) {
        clock.nowMs += 16;
        hostWorld.Step(host);
        joinWorld.Step(join);
    }
    EXPECT_TRUE(host.Finished()) << host.Session().EndMessage();
    EXPECT_TRUE(join.Finished()) << join.Session().EndMessage();
}

TEST_F(SessionLifecycle, AnotherVersionIsNamedOnBothSides) {
    MemoryLink hostLink(clock, {});
    MemoryLink joinLink(clock, {});
    MemoryLink::Connect(hostLink, joinLink);
    RollbackSession host(hostLink, SessionOptions{});
    RawPeer raw(joinLink);
    // The joiner answers the host with a handshake of another protocol.
    host.Tick(0);
    raw.Read();
    ASSERT_TRUE(raw.heard.sawHello);
    HelloPacket other = OwnHello();
    other.protocol = packetProtocolVersion - 1;
    other.versionMinor = 7;
    raw.Hello(other);
    host.Tick(0);
    EXPECT_EQ(host.Phase(), PhaseConnecting);
    const std::string expected =
        "let a client go: the other side runs version " + std::to_string(KIVORO_VERSION_MAJOR) +
        ".7 (protocol " + std::to_string(packetProtocolVersion - 1) + "), this side " +
        std::to_string(KIVORO_VERSION_MAJOR) + "." + std::to_string(KIVORO_VERSION_MINOR) +
        " (protocol " + std::to_string(packetProtocolVersion) + ")";
    EXPECT_EQ(host.Notice(), expected);
    raw.Read();
    ASSERT_EQ(raw.heard.ends.size(), 1u);
    EXPECT_EQ(raw.heard.ends[0].reason, EndVersionMismatch);

    // A joiner hearing such a host ends with the same words.
    MemoryLink otherHost(clock, {});
    MemoryLink joinerLink(clock, {});
    MemoryLink::Connect(otherHost, joinerLink);
    RollbackSession join(joinerLink, JoinerOptions());
    RawPeer rawHost(otherHost);
    rawHost.Hello(other);
    RunAlone(join, 1000);
    ASSERT_TRUE(join.Ended());
    EXPECT_EQ(join.EndReasonCode(), EndVersionMismatch);
    EXPECT_EQ(std::string(join.EndMessage()),
              expected.substr(std::string("let a client go: ").size()));
}

// An End out of place: before the handshake a joiner takes it as a broken
// protocol, not as a desync at a frame never played.
TEST_F(SessionLifecycle, AnEndBeforeTheHandshakeIsNoDesync) {
    for (const EndReason reason : {EndOutOfSync, EndFinished, EndNoProgress}) {
        MemoryLink hostLink(clock, {});
        MemoryLink joinLink(clock, {});
        MemoryLink::Connect(hostLink, joinLink);
        RollbackSession join(joinLink, JoinerOptions());
        join.Tick(0);  // connected: waiting for the host's handshake
        RawPeer raw(hostLink);
        raw.End(reason, 1 << 30);
        join.Tick(0);
        ASSERT_TRUE(join.Ended()) << int(reason);
        EXPECT_EQ(join.EndReasonCode(), EndProtocolError);
        EXPECT_STREQ(join.EndMessage(),
                     "the other side broke the protocol: an end before the match began");
    }
}

// A host session and a raw peer that has shaken hands with it.
struct PlayingPeer {
    explicit PlayingPeer(VirtualClock& clock)
        : hostLink(clock, {}),
          rawLink(clock, {}),
          raw(rawLink),
          session(hostLink, {0, 2, "Torvik"}) {
        MemoryLink::Connect(hostLink, rawLink);
        raw.Hello();
        session.Tick(0);
    }
    MemoryLink hostLink;
    MemoryLink rawLink;
    RawPeer raw;
    RollbackSession session;
};

// End(Finished) claims a peer holds every frame. Told mid-match and followed
// by silence, it ends the match within the limits, never lifts them.
TEST_F(SessionLifecycle, AFinishMidMatchThenSilenceEndsInTime) {
    struct Case {
        const char* name;
        int32_t claimedFrame;  // -1: the frames the session holds from the peer
        EndReason reason;
    };
    const Case cases[] = {
        {"a finish at frames it sent", -1, EndFinished},
        {"a finish at frames it never sent", 100000, EndProtocolError},
    };
    for (const Case& c : cases) {
        ResetHeadlessWorld();
        PlayingPeer peer(clock);
        RollbackSession* session = &peer.session;
        RunAlone(*session, 1000, [&] { peer.raw.PlayAlong(); });
        ASSERT_TRUE(session->Playing()) << c.name;
        const int32_t held = session->ConfirmedFrames();
        peer.raw.End(EndFinished, c.claimedFrame < 0 ? static_cast<uint32_t>(peer.raw.heard.acked)
                                                     : static_cast<uint32_t>(c.claimedFrame));
        peer.rawLink.GoSilent();
        const uint32_t took = RunAlone(*session, 30000);
        ASSERT_TRUE(session->Ended()) << c.name;
        EXPECT_EQ(session->EndReasonCode(), c.reason) << c.name << ": " << session->EndMessage();
        EXPECT_LE(took, 2000u) << c.name;
        EXPECT_GE(session->ConfirmedFrames(), held) << c.name;
    }
}

// A peer that keeps sending inputs with nothing new in them keeps the link
// alive but not the match.
TEST_F(SessionLifecycle, InputsWithNoNewFramesEndTheMatchAfterTheLimit) {
    PlayingPeer peer(clock);
    RollbackSession* session = &peer.session;
    const uint32_t took = RunAlone(*session, 30000, [&] { peer.raw.Input(0, 2, 0, 2); });
    ASSERT_TRUE(session->Ended());
    EXPECT_EQ(session->EndReasonCode(), EndNoProgress);
    EXPECT_STREQ(session->EndMessage(), "no progress for 5 s");
    EXPECT_GE(took, 5000u);
    EXPECT_LE(took, 5200u);
    peer.raw.Read();
    ASSERT_FALSE(peer.raw.heard.ends.empty());
    EXPECT_EQ(peer.raw.heard.ends.back().reason, EndNoProgress);
}

// A peer that plays but never digests: the session plays five seconds of
// frames past the last digest, waits, then refuses it.
TEST_F(SessionLifecycle, APeerThatSendsNoDigestsIsRefused) {
    PlayingPeer peer(clock);
    RollbackSession* session = &peer.session;
    RunAlone(*session, 60000, [&] { peer.raw.PlayAlong(); });
    ASSERT_TRUE(session->Ended());
    EXPECT_EQ(session->EndReasonCode(), EndProtocolError);
    EXPECT_STREQ(session->EndMessage(), "the other side broke the protocol: it sends no digests");
    EXPECT_EQ(session->ConfirmedFrames(), DigestCheck::lagFrames);
    EXPECT_GT(peer.raw.heard.digests, 0);
}

// Quit ends the match in well under a second whatever the other side does:
// here it has gone silent, so nothing of the last frames comes.
TEST_F(SessionLifecycle, AQuitEndsInTimeWhateverTheOtherSideDoes) {
    PlayingPeer peer(clock);
    RollbackSession* session = &peer.session;
    RunAlone(*session, 500, [&] { peer.raw.PlayAlong(); });
    ASSERT_TRUE(session->Playing());
    peer.rawLink.GoSilent();
    session->Quit();
    EXPECT_TRUE(session->Leaving());
    const uint32_t took = RunAlone(*session, 10000);
    ASSERT_TRUE(session->Ended());
    EXPECT_EQ(session->EndReasonCode(), EndQuit);
    EXPECT_STREQ(session->EndMessage(), "match ended");
    EXPECT_LE(took, RollbackSession::quitPlayOutMs + RollbackSession::closeLimitMs + 32);
}

// The other side quits and goes silent before its last bytes come: this side
// plays out what it can and ends within its own deadline.
TEST_F(SessionLifecycle, AQuitFromTheOtherSideEndsInTime) {
    PlayingPeer peer(clock);
    RollbackSession* session = &peer.session;
    RunAlone(*session, 500, [&] { peer.raw.PlayAlong(); });
    peer.raw.End(EndQuit, peer.raw.heard.acked + 40);
    peer.rawLink.GoSilent();
    const uint32_t took = RunAlone(*session, 30000);
    ASSERT_TRUE(session->Ended());
    EXPECT_EQ(session->EndReasonCode(), EndQuit);
    EXPECT_TRUE(session->EndedByOther());
    EXPECT_LE(took, RollbackSession::playOutMs + 60 * 17 + RollbackSession::closeLimitMs + 32);
}

// A window plays on until a player quits; a headless joiner stops after its
// frames. The window ends when the joiner has them all, as a finish.
TEST_F(SessionLifecycle, AMatchWithoutALimitEndsWhenTheOtherSideFinishes) {
    Match match(600, 60, 0, 300);
    match.RunUntilEnded(30000);
    ASSERT_TRUE(match.join->Finished()) << match.join->Session().EndMessage();
    ASSERT_TRUE(match.host->Done()) << "the host still plays";
    EXPECT_EQ(match.host->Session().EndReasonCode(), EndFinished);
    EXPECT_EQ(match.host->Session().ConfirmedFrames(), 300);
    EXPECT_STREQ(match.host->Session().EndMessage(), "match finished after 300 frames");
}

// Every control byte travels, and both sides confirm exactly what was read.
TEST_F(SessionLifecycle, EveryByteValueReachesTheOtherSide) {
    constexpr int32_t frames = 520;
    Match match(frames, 60, frames);
    for (int32_t t = 0; t < frames; ++t) {
        match.first[t] = static_cast<uint8_t>(t);
        match.second[t] = static_cast<uint8_t>(255 - t);
    }
    std::vector<ConfirmedFrame> hostFrames;
    match.RunUntilEnded(60000);
    ASSERT_TRUE(match.host->Finished()) << match.host->Session().EndMessage();
    ASSERT_TRUE(match.join->Finished()) << match.join->Session().EndMessage();
    const ConfirmedFrame& last = match.host->LastConfirmed();
    EXPECT_EQ(last.frame, frames - 1);
    EXPECT_EQ(last.controls[0], static_cast<uint8_t>(frames - 1 - 2));
    EXPECT_EQ(last.controls[1], static_cast<uint8_t>(255 - (frames - 1 - 2)));
    EXPECT_EQ(match.host->Session().Stats().packetsDropped, 0);
}

}  // namespace
