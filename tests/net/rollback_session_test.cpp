// The session's ends and refusals over the in-memory link: a player quitting,
// a vanished peer, a desync, art that differs, packets that lie, a stall while
// the other side is silent, and time sync levelling a side that ran ahead.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "rules/world_state.h"
#include "tests/net/session_harness.h"

namespace {

class RollbackSessionTest : public ::testing::Test {
protected:
    void SetUp() override { ResetHeadlessWorld(); }
};

TEST_F(RollbackSessionTest, EitherPlayerQuittingEndsBothWithTheirMessages) {
    Match match(400);
    match.Run(100);
    ASSERT_TRUE(match.host->Session().Playing());
    EXPECT_STREQ(match.host->Session().RemoteName(), "Melsar");
    EXPECT_STREQ(match.join->Session().RemoteName(), "Torvik");
    match.host->Session().Quit();
    match.Run(10);
    EXPECT_TRUE(match.host->Done());
    EXPECT_FALSE(match.host->Session().EndedByOther());
    EXPECT_STREQ(match.host->Session().EndMessage(), "match ended");
    ASSERT_TRUE(match.join->Done());
    EXPECT_EQ(match.join->Session().EndReasonCode(), EndQuit);
    EXPECT_TRUE(match.join->Session().EndedByOther());
    EXPECT_STREQ(match.join->Session().EndMessage(), "Torvik ended the match");
}

TEST_F(RollbackSessionTest, APeerSilentForFiveSecondsIsLost) {
    Match match(2000);
    match.Run(100);
    match.joinLink.GoSilent();
    // 4.9 s of silence: still waiting (stalled), no verdict yet.
    const int32_t start = static_cast<int32_t>(match.clock.nowMs);
    while (static_cast<int32_t>(match.clock.nowMs) - start < 4900) {
        match.Run(1, nullptr, true, false);
    }
    EXPECT_FALSE(match.host->Done());
    EXPECT_TRUE(match.host->Session().Stalled());
    match.Run(12, nullptr, true, false);
    ASSERT_TRUE(match.host->Done());
    EXPECT_EQ(match.host->Session().EndReasonCode(), EndConnectionLost);
    EXPECT_TRUE(match.host->Session().EndedByOther());
    EXPECT_STREQ(match.host->Session().EndMessage(), "connection lost");
}

TEST_F(RollbackSessionTest, ADesyncStopsBothSidesAtTheSameCheck) {
    Match match(2000);
    // At round 100 the joiner's world loses one cell of dirt the host's keeps:
    // the next confirmed digest after it differs.
    match.Run(400, [](int32_t round) {
        if (round == 100) {
            terrain.cells[0] = 0;
        }
    });
    ASSERT_TRUE(match.host->Done());
    ASSERT_TRUE(match.join->Done());
    EXPECT_EQ(match.host->Session().EndReasonCode(), EndOutOfSync);
    EXPECT_EQ(match.join->Session().EndReasonCode(), EndOutOfSync);
    EXPECT_STREQ(match.host->Session().EndMessage(), "out of sync at frame 120");
    EXPECT_STREQ(match.join->Session().EndMessage(), "out of sync at frame 120");
}

// The joiner ends, naming what differs; the host lets it go with the same
// words and waits on for a player it can play.
TEST_F(RollbackSessionTest, DifferentArtIsRefusedOnBothSides) {
    VirtualClock clock;
    MemoryLink hostLink(clock, {});
    MemoryLink joinLink(clock, {});
    MemoryLink::Connect(hostLink, joinLink);
    RollbackSession host(hostLink, SessionOptions{});
    // The joiner's smallest carved shape is one pixel wider.
    uint16_t pixels[blastSpriteSide * blastSpriteSide];
    for (uint16_t& p : pixels) {
        p = 1;
    }
    blastSprites[0].LoadFromPixels(pixels, blastSpriteSide, EncodingKeyed, 0);
    RollbackSession join(joinLink, SessionOptions{1});
    for (int32_t k = 0; k < 5; ++k) {
        host.Tick(0);
        join.Tick(0);
    }
    ASSERT_TRUE(join.Ended());
    EXPECT_EQ(join.EndReasonCode(), EndArtMismatch);
    EXPECT_STREQ(join.EndMessage(), "art differs: the blast shapes are not the other side's");
    EXPECT_FALSE(host.Ended());
    EXPECT_EQ(host.Phase(), PhaseConnecting);
    EXPECT_EQ(host.NoticeCount(), 1);
    EXPECT_STREQ(host.Notice(),
                 "let a client go: art differs: the blast shapes are not the other side's");
    EXPECT_EQ(host.CurrentFrame(), 0);
}

TEST_F(RollbackSessionTest, PacketsThatLieAreDroppedAndCounted) {
    VirtualClock clock;
    MemoryLink hostLink(clock, {});
    MemoryLink rawLink(clock, {});
    MemoryLink::Connect(hostLink, rawLink);
    RollbackSession host(hostLink, SessionOptions{});
    RawPeer raw(rawLink);
    raw.Hello();
    host.Tick(0);
    ASSERT_TRUE(host.Playing());

    const uint8_t garbage[] = {0x77, 1, 2, 3};
    raw.SendBytes(ChannelUnreliable, garbage, sizeof garbage);
    uint8_t tooLong[linkPacketLimit] = {PacketInput};
    raw.SendBytes(ChannelUnreliable, tooLong, sizeof tooLong);
    raw.Input(0, 500, 2, 0);                           // acknowledges inputs this side never sent
    const uint8_t badDigest[13] = {PacketDigest, 61};  // not a digest frame
    raw.SendBytes(ChannelUnreliable, badDigest, sizeof badDigest);
    raw.Hello();  // a second handshake
    host.Tick(0);
    EXPECT_EQ(host.Stats().packetsDropped, 5);
    EXPECT_TRUE(host.Playing());

    // Inputs past a gap wait for the missing ones; frames far ahead are ignored.
    raw.Input(0, 2, 5, 3);
    raw.Input(0, 2, 1000000, 10);
    host.Tick(0);
    EXPECT_EQ(host.ConfirmedFrames(), 2);  // frames 0 and 1, known empty from the delay
    EXPECT_TRUE(host.Playing());
}

TEST_F(RollbackSessionTest, StallsEightFramesAheadOfASilentOpponent) {
    VirtualClock clock;
    MemoryLink hostLink(clock, {});
    MemoryLink rawLink(clock, {});
    MemoryLink::Connect(hostLink, rawLink);
    RollbackSession host(hostLink, SessionOptions{0, 2, "Torvik"});
    RawPeer raw(rawLink);
    raw.Hello(0);
    for (int32_t k = 0; k < 20; ++k) {
        clock.nowMs += 16;
        host.Tick(0);
    }
    // No input at all from the other side: eight frames predicted, then a wait.
    EXPECT_EQ(host.CurrentFrame(), maxPrediction);
    EXPECT_TRUE(host.Stalled());
    EXPECT_EQ(host.Tick(0), TickStalled);
    EXPECT_STREQ(host.RemoteName(), "");
    // Its inputs arrive: play goes on, the guesses (all 0) were right.
    raw.Input(maxPrediction, 2, 0, 12);
    EXPECT_EQ(host.Tick(0), TickAdvanced);
    EXPECT_EQ(host.Stats().rollbacks, 0);
    EXPECT_EQ(host.ConfirmedFrames(), maxPrediction + 1);
}

TEST_F(RollbackSessionTest, ASideThatRanAheadHoldsUntilLevel) {
    Match match(1200, 60);
    // The joiner's machine pauses for half a second: the host runs on to the
    // end of its prediction window and waits there.
    match.Run(10);
    match.Run(30, nullptr, true, false);
    EXPECT_GT(match.host->Session().Stats().stalledFrames, 0);
    const int32_t heldBefore = match.join->Session().Stats().heldFrames;
    match.Run(300);
    const NetStats early = match.host->Session().Stats();
    EXPECT_GT(early.heldFrames, 0);
    EXPECT_LE(match.join->Session().Stats().heldFrames - heldBefore, 1);
    // Level from then on: no more holds or stalls, and each rollback short.
    match.Run(600);
    const NetStats& late = match.host->Session().Stats();
    EXPECT_LE(late.heldFrames - early.heldFrames, 2);
    EXPECT_EQ(late.stalledFrames, early.stalledFrames);
    EXPECT_LE(match.host->Session().CurrentFrame() - match.join->Session().CurrentFrame(), 1);
    EXPECT_GE(match.host->Session().CurrentFrame() - match.join->Session().CurrentFrame(), -1);
}

// Prediction takes the other player to hold what it held last. A player who
// holds one key for a long stretch, over a link slower than the input delay,
// costs one rollback when the key goes down (the frames predicted before it
// was seen) and none after.
TEST_F(RollbackSessionTest, AHeldKeyCostsOneRollbackOnceSeen) {
    constexpr int32_t frames = 600;
    constexpr int32_t pressedAt = 100;
    VirtualClock clock;
    MemoryLink hostLink(clock, {60, 0, 0, 3});
    MemoryLink joinLink(clock, {60, 0, 0, 5});
    MemoryLink::Connect(hostLink, joinLink);
    const std::vector<uint8_t> idle(frames, 0);
    std::vector<uint8_t> held(frames, 0);
    for (int32_t t = pressedAt; t < frames; ++t) {
        held[t] = ControlUp | ControlCharge;
    }
    PeerWorld hostWorld;
    PeerWorld joinWorld;
    ScriptedPeer host(hostLink, SessionOptions{0, 2, "Torvik", 5000, frames}, idle.data(), frames);
    ScriptedPeer join(joinLink, SessionOptions{1, 2, "Melsar", 5000, frames}, held.data(), frames);
    int32_t rollbacksWhenSeen = -1;
    for (int32_t round = 0; round < 4 * frames && !(host.Done() && join.Done()); ++round) {
        clock.nowMs += round % 3 == 0 ? 16 : 17;
        hostWorld.Step(host);
        joinWorld.Step(join);
        // The key is seen once the host holds the joiner's byte for it.
        if (rollbacksWhenSeen < 0 && host.Session().ConfirmedFrames() > pressedAt + 2) {
            rollbacksWhenSeen = host.Session().Stats().rollbacks;
        }
    }
    ASSERT_TRUE(host.Finished()) << host.Session().EndMessage();
    const int32_t rollbacks = host.Session().Stats().rollbacks;
    std::printf("[ stats    ] rollbacks %d, %d of them after the key was seen\n", rollbacks,
                rollbacks - rollbacksWhenSeen);
    ASSERT_GE(rollbacksWhenSeen, 0);
    EXPECT_LE(rollbacks, 1);
    EXPECT_EQ(rollbacks - rollbacksWhenSeen, 0);
}

}  // namespace
