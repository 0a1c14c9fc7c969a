// An online match played by the host's rule: the joiner takes it from the
// handshake (a rule out of range is refused), and both sides decide the match
// at the same confirmed frame however late and out of order the inputs came,
// end there, count the same statistics, and hold the world a replay of their
// confirmed frames ends in.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "net/memory_link.h"
#include "net/scripted_peer.h"
#include "rules/headless_world.h"
#include "rules/match_stats.h"
#include "rules/world_digest.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "tests/net/peer_world.h"
#include "tests/net/session_harness.h"
#include "tests/rules/harness_script.h"

namespace {

class OnlineRule : public ::testing::Test {
protected:
    void SetUp() override { ResetHeadlessWorld(); }
};

TEST_F(OnlineRule, TheJoinerPlaysTheHostsRule) {
    VirtualClock clock;
    MemoryLink hostLink(clock, {10, 0, 0, 3});
    MemoryLink joinLink(clock, {10, 0, 0, 5});
    MemoryLink::Connect(hostLink, joinLink);
    SessionOptions hostOptions{0, 2, "Torvik"};
    hostOptions.rule = MatchRule{MatchTimeLimit, 3};
    SessionOptions joinOptions{1, 2, "Melsar"};
    joinOptions.rule = MatchRule{MatchFirstToKills, 7};  // the joiner's own settings: not used
    RollbackSession host(hostLink, hostOptions);
    RollbackSession join(joinLink, joinOptions);
    for (int32_t k = 0; k < 20 && !(host.Playing() && join.Playing()); ++k) {
        clock.nowMs += 16;
        host.Tick(0);
        join.Tick(0);
    }
    ASSERT_TRUE(host.Playing());
    ASSERT_TRUE(join.Playing());
    EXPECT_EQ(host.Rule(), (MatchRule{MatchTimeLimit, 3}));
    EXPECT_EQ(join.Rule(), (MatchRule{MatchTimeLimit, 3}));
}

// A host whose handshake names a rule out of range is not believed: the
// packet is dropped like any malformed one and the joiner waits on for a
// handshake it can read.
TEST_F(OnlineRule, ARuleOutOfRangeIsRefused) {
    VirtualClock clock;
    MemoryLink joinLink(clock, {});
    MemoryLink rawLink(clock, {});
    MemoryLink::Connect(joinLink, rawLink);
    RollbackSession join(joinLink, SessionOptions{1, 2, "Melsar"});
    RawPeer raw(rawLink);
    join.Tick(0);
    const uint8_t badRules[][2] = {{MatchFirstToKills, 0},
                                   {MatchFirstToKills, 100},
                                   {MatchTimeLimit, 31},
                                   {MatchEndless, 4},
                                   {3, 1},
                                   {255, 255}};
    for (const uint8_t* bad : badRules) {
        HelloPacket hello = OwnHello();
        hello.rule = MatchRule{MatchFirstToKills, 5};
        const size_t size = EncodeHello(hello, raw.buffer, sizeof raw.buffer);
        ASSERT_GT(size, 2u);
        raw.buffer[size - 2] = bad[0];
        raw.buffer[size - 1] = bad[1];
        raw.SendBytes(ChannelReliable, raw.buffer, size);
        clock.nowMs += 16;
        join.Tick(0);
        EXPECT_FALSE(join.Playing()) << "kind " << int{bad[0]} << " value " << int{bad[1]};
    }
    EXPECT_EQ(join.Stats().packetsDropped, 6);
    HelloPacket hello = OwnHello();
    hello.rule = MatchRule{MatchFirstToKills, 99};
    raw.Hello(hello);
    clock.nowMs += 16;
    join.Tick(0);
    ASSERT_TRUE(join.Playing()) << join.EndMessage();
    EXPECT_EQ(join.Rule(), (MatchRule{MatchFirstToKills, 99}));
    // The joiner's answer carries the rule it took.
    uint8_t in[256];
    Packet packet;
    bool answered = false;
    for (size_t size; (size = rawLink.Receive(in, sizeof in)) > 0;) {
        if (DecodePacket(in, size, &packet) && packet.type == PacketHello) {
            answered = true;
            EXPECT_EQ(packet.hello.rule, (MatchRule{MatchFirstToKills, 99}));
        }
    }
    EXPECT_TRUE(answered);
}

// What the same bytes make without a network (each byte acting D frames late),
// played until the rule decides: the deciding frame and what it decided.
struct OfflineDecision {
    int32_t frames = 0;  // the deciding frame and all before it
    MatchOutcome outcome;
    MatchStats stats;
    int32_t kills[2] = {0, 0};
    uint64_t finalDigest = 0;
};

OfflineDecision DecideOffline(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second,
                              int32_t delay, const MatchRule& rule) {
    OfflineDecision run;
    ResetHeadlessWorld();
    const auto length = static_cast<int32_t>(first.size());
    for (int32_t frame = 0; frame < 2 * length && !run.outcome.decided; ++frame) {
        // Past the scripts' end the bytes are 0, as a scripted peer's.
        const int32_t t = frame - delay;
        const bool scripted = t >= 0 && t < length;
        StepWorld(scripted ? first[t] : 0, scripted ? second[t] : 0);
        run.stats.Note(frameEvents);
        run.frames = frame + 1;
        run.outcome = DecideMatch(rule, run.frames, fighters);
    }
    run.kills[0] = fighters[1].deaths;
    run.kills[1] = fighters[0].deaths;
    run.finalDigest = DigestRules();
    ResetHeadlessWorld();
    return run;
}

class ConfirmedLog : public ConfirmedFrameSink {
public:
    void Confirmed(const ConfirmedFrame& frame) override { frames.push_back(frame); }
    std::vector<ConfirmedFrame> frames;
};

struct Conditions {
    uint32_t roundTripMs;
    uint32_t lossPercent;
    int32_t inputDelay;
    MatchRule rule;
};

void PrintTo(const Conditions& c, std::ostream* os) {
    char rule[48];
    DescribeRule(c.rule, rule, sizeof rule);
    *os << c.roundTripMs << " ms, " << c.lossPercent << " %, delay " << c.inputDelay << ", "
        << rule;
}

constexpr MatchRule firstKill{MatchFirstToKills, 1};
constexpr MatchRule oneMinute{MatchTimeLimit, 1};

class RuleDecides : public ::testing::TestWithParam<Conditions> {};

// The harness's fight, to its first kill or a minute, with no frame limit: both
// sides end finished at the frame the offline run decides at, with its
// statistics and its world, whatever the other side's inputs did to the
// predictions on the way.
TEST_P(RuleDecides, BothSidesEndAtTheSameConfirmedFrame) {
    const Conditions conditions = GetParam();
    const MatchRule rule = conditions.rule;
    const std::vector<FrameControls> script = BuildHarnessScript();
    std::vector<uint8_t> first;
    std::vector<uint8_t> second;
    for (const FrameControls& c : script) {
        first.push_back(c.first);
        second.push_back(c.second);
    }
    const OfflineDecision offline = DecideOffline(first, second, conditions.inputDelay, rule);
    ASSERT_TRUE(offline.outcome.decided) << "the harness's fight is decided by the rule";
    ASSERT_GT(offline.stats.players[0].hitsLanded + offline.stats.players[1].hitsLanded, 0);

    PeerWorld hostWorld;
    PeerWorld joinWorld;
    VirtualClock clock;
    const uint32_t oneWay = conditions.roundTripMs / 2;
    const uint32_t jitter = conditions.roundTripMs / 6;
    MemoryLink hostLink(clock, {oneWay, jitter, conditions.lossPercent, 11});
    MemoryLink joinLink(clock, {oneWay, jitter, conditions.lossPercent, 23});
    MemoryLink::Connect(hostLink, joinLink);
    ConfirmedLog hostLog;
    ConfirmedLog joinLog;
    SessionOptions hostOptions{0, conditions.inputDelay, "Torvik"};
    hostOptions.rule = rule;
    SessionOptions joinOptions{1, conditions.inputDelay, "Melsar"};
    const auto length = static_cast<int32_t>(script.size());
    ScriptedPeer host(hostLink, hostOptions, first.data(), length, &hostLog);
    ScriptedPeer join(joinLink, joinOptions, second.data(), length, &joinLog);
    for (int32_t round = 0; round < length * 2 && !(host.Done() && join.Done()); ++round) {
        clock.nowMs += round % 3 == 0 ? 16 : 17;
        hostWorld.Step(host);
        joinWorld.Step(join);
    }
    ASSERT_TRUE(host.Finished()) << host.Session().EndMessage();
    ASSERT_TRUE(join.Finished()) << join.Session().EndMessage();
    const int32_t ranTo[2] = {host.Session().CurrentFrame(), join.Session().CurrentFrame()};

    struct Side {
        const char* name;
        ScriptedPeer& peer;
        const ConfirmedLog& log;
        PeerWorld& world;
    };
    for (const Side& side :
         {Side{"host", host, hostLog, hostWorld}, Side{"joiner", join, joinLog, joinWorld}}) {
        SCOPED_TRACE(side.name);
        RollbackSession& session = side.peer.Session();
        EXPECT_EQ(session.ConfirmedFrames(), offline.frames);
        EXPECT_EQ(static_cast<int32_t>(side.log.frames.size()), offline.frames);
        const MatchTally& tally = session.Tally();
        EXPECT_TRUE(tally.Outcome().decided);
        EXPECT_EQ(tally.Outcome().winner, offline.outcome.winner);
        EXPECT_EQ(tally.Frames(), offline.frames);
        EXPECT_EQ(tally.Kills(0), offline.kills[0]);
        EXPECT_EQ(tally.Kills(1), offline.kills[1]);
        for (int32_t player = 0; player < 2; ++player) {
            const PlayerStats& online = tally.Stats().players[player];
            const PlayerStats& expected = offline.stats.players[player];
            EXPECT_EQ(online.blastsReleased, expected.blastsReleased);
            EXPECT_EQ(online.hitsLanded, expected.hitsLanded);
            EXPECT_EQ(online.damageDealt, expected.damageDealt);
        }
        // The world a replay of the confirmed frames ends in, though this
        // side may have run a few frames past the deciding one.
        side.world.Enter();
        ASSERT_TRUE(session.RewindToConfirmed());
        EXPECT_EQ(DigestRules(), offline.finalDigest);
        side.world.Leave();
    }
    // Each side tells the end from its own side.
    const int32_t winner = offline.outcome.winner;
    char hostExpected[64];
    char joinExpected[64];
    if (winner < 0) {
        std::snprintf(hostExpected, sizeof hostExpected, "a draw at %d kill%s each",
                      offline.kills[0], offline.kills[0] == 1 ? "" : "s");
        std::snprintf(joinExpected, sizeof joinExpected, "%s", hostExpected);
    } else {
        const int32_t won = offline.kills[winner];
        const int32_t lost = offline.kills[1 - winner];
        const char* kills = won == 1 ? "kill" : "kills";
        std::snprintf(hostExpected, sizeof hostExpected,
                      winner == 0 ? "you win, %d %s to %d" : "Melsar wins, %d %s to %d", won, kills,
                      lost);
        std::snprintf(joinExpected, sizeof joinExpected,
                      winner == 1 ? "you win, %d %s to %d" : "Torvik wins, %d %s to %d", won, kills,
                      lost);
    }
    EXPECT_STREQ(host.Session().EndMessage(), hostExpected);
    EXPECT_STREQ(join.Session().EndMessage(), joinExpected);

    const NetStats& h = host.Session().Stats();
    const NetStats& j = join.Session().Stats();
    // Unless the input delay covers the trip.
    if (conditions.roundTripMs >= 60 && conditions.inputDelay <= 2) {
        EXPECT_GT(h.rollbacks + j.rollbacks, 0) << "the predictions were never wrong";
    }
    std::printf(
        "[ stats    ] rtt %u ms loss %u %% delay %d: \"%s\" after %d frames; host ran to "
        "%d, rollbacks %d; joiner ran to %d, rollbacks %d\n",
        conditions.roundTripMs, conditions.lossPercent, conditions.inputDelay,
        host.Session().EndMessage(), offline.frames, ranTo[0], h.rollbacks, ranTo[1], j.rollbacks);
}

INSTANTIATE_TEST_SUITE_P(
    Links, RuleDecides,
    ::testing::Values(Conditions{0, 0, 2, firstKill}, Conditions{60, 5, 2, firstKill},
                      Conditions{150, 20, 2, firstKill}, Conditions{150, 0, 0, firstKill},
                      Conditions{60, 20, 8, firstKill}, Conditions{150, 5, 2, oneMinute}));

}  // namespace
