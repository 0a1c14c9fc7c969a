// Two peers in one process over the in-memory link: the harness's 3000 frames
// of fighting at several round trips, losses and input delays. Both peers'
// confirmed digests agree with each other and with an offline run of the same
// inputs applied D frames late, at every check and at the end.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "net/memory_link.h"
#include "net/scripted_peer.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "tests/net/peer_world.h"
#include "tests/rules/harness_script.h"

namespace {

struct Conditions {
    uint32_t roundTripMs;
    uint32_t lossPercent;
    int32_t inputDelay;
};

void PrintTo(const Conditions& c, std::ostream* os) {
    *os << c.roundTripMs << " ms, " << c.lossPercent << " %, delay " << c.inputDelay;
}

// Everything a peer confirmed, in order.
class ConfirmedLog : public ConfirmedFrameSink {
public:
    void Confirmed(const ConfirmedFrame& frame) override {
        frames.push_back(frame);
        if (frame.hasDigest) {
            digests.push_back(frame.rulesDigest);
        }
    }
    std::vector<ConfirmedFrame> frames;
    std::vector<uint64_t> digests;
};

struct OfflineRun {
    std::vector<uint64_t> digests;  // every digestInterval frames
    uint64_t finalDigest = 0;
    int hits = 0;
    int deaths = 0;
};

// The same inputs without a network: each player's byte t acts at frame t + D.
OfflineRun PlayOffline(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second,
                       int32_t delay, int32_t frames) {
    OfflineRun run;
    ResetHeadlessWorld();
    for (int32_t frame = 0; frame < frames; ++frame) {
        const int32_t t = frame - delay;
        const uint8_t a = t >= 0 && t < static_cast<int32_t>(first.size()) ? first[t] : 0;
        const uint8_t b = t >= 0 && t < static_cast<int32_t>(second.size()) ? second[t] : 0;
        const uint8_t stunBefore[2] = {fighters[0].stunTimer, fighters[1].stunTimer};
        StepWorld(a, b);
        for (int i = 0; i < 2; ++i) {
            if (fighters[i].stunTimer > stunBefore[i]) {
                ++run.hits;
            }
        }
        if ((frame + 1) % digestInterval == 0) {
            run.digests.push_back(DigestRules());
        }
    }
    run.finalDigest = DigestRules();
    run.deaths = fighters[0].deaths + fighters[1].deaths;
    return run;
}

class OnlineMatch : public ::testing::TestWithParam<Conditions> {};

TEST_P(OnlineMatch, BothPeersAgreeWithTheOfflineRun) {
    const Conditions conditions = GetParam();
    const std::vector<FrameControls> script = BuildHarnessScript();
    std::vector<uint8_t> first;
    std::vector<uint8_t> second;
    for (const FrameControls& c : script) {
        first.push_back(c.first);
        second.push_back(c.second);
    }
    const auto frames = static_cast<int32_t>(script.size());
    const OfflineRun offline = PlayOffline(first, second, conditions.inputDelay, frames);
    // The play is a real fight, so agreement means something.
    ASSERT_GT(offline.hits, 1);
    ASSERT_GT(offline.deaths, 1);

    ResetHeadlessWorld();
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
    SessionOptions hostOptions{0, conditions.inputDelay, "Torvik", 5000, frames};
    SessionOptions joinOptions{1, conditions.inputDelay, "Melsar", 5000, frames};
    ScriptedPeer host(hostLink, hostOptions, first.data(), frames, &hostLog);
    ScriptedPeer join(joinLink, joinOptions, second.data(), frames, &joinLog);

    // One display frame each per 60th of a second, until both are done.
    for (int32_t round = 0; round < frames * 2 && !(host.Done() && join.Done()); ++round) {
        clock.nowMs += round % 3 == 0 ? 16 : 17;
        hostWorld.Step(host);
        joinWorld.Step(join);
    }
    ASSERT_TRUE(host.Finished()) << host.Session().EndMessage();
    ASSERT_TRUE(join.Finished()) << join.Session().EndMessage();

    EXPECT_EQ(hostLog.digests, offline.digests);
    EXPECT_EQ(joinLog.digests, offline.digests);
    ASSERT_EQ(hostLog.frames.size(), static_cast<size_t>(frames));
    ASSERT_EQ(joinLog.frames.size(), static_cast<size_t>(frames));
    for (int32_t frame = 0; frame < frames; ++frame) {
        const int32_t t = frame - conditions.inputDelay;
        const uint8_t a = t >= 0 ? first[t] : 0;
        const uint8_t b = t >= 0 ? second[t] : 0;
        for (const ConfirmedLog* log : {&hostLog, &joinLog}) {
            const ConfirmedFrame& c = log->frames[frame];
            ASSERT_EQ(c.frame, frame);
            ASSERT_EQ(c.controls[0], a) << "frame " << frame;
            ASSERT_EQ(c.controls[1], b) << "frame " << frame;
        }
    }
    hostWorld.Enter();
    EXPECT_EQ(DigestRules(), offline.finalDigest);
    joinWorld.Enter();
    EXPECT_EQ(DigestRules(), offline.finalDigest);

    const NetStats& h = host.Session().Stats();
    const NetStats& j = join.Session().Stats();
    // Unless the delay covers the whole trip there for every packet.
    if ((conditions.roundTripMs >= 60 || conditions.lossPercent >= 20 ||
         conditions.inputDelay == 0) &&
        conditions.inputDelay < maxPrediction) {
        EXPECT_GT(h.rollbacks, 0);
        EXPECT_GT(j.rollbacks, 0);
    }
    if (conditions.roundTripMs == 0 && conditions.lossPercent == 0 && conditions.inputDelay > 0) {
        // The delay covers a link without latency: nothing is ever predicted.
        EXPECT_EQ(h.rollbacks + j.rollbacks, 0);
    }
    EXPECT_EQ(h.packetsDropped + j.packetsDropped, 0);
    std::printf(
        "[ stats    ] rtt %u ms loss %u %% delay %d: host %u B/s, rollbacks %d (longest %d, "
        "%lld frames), stalled %d, held %d; joiner %u B/s, rollbacks %d (longest %d), "
        "stalled %d, held %d; measured rtt %u ms\n",
        conditions.roundTripMs, conditions.lossPercent, conditions.inputDelay, h.bytesPerSecond,
        h.rollbacks, h.longestRollback, static_cast<long long>(h.rollbackFrames), h.stalledFrames,
        h.heldFrames, j.bytesPerSecond, j.rollbacks, j.longestRollback, j.stalledFrames,
        j.heldFrames, h.roundTripMs);
}

INSTANTIATE_TEST_SUITE_P(Links, OnlineMatch,
                         ::testing::Values(Conditions{0, 0, 2}, Conditions{0, 5, 2},
                                           Conditions{0, 20, 2}, Conditions{60, 0, 2},
                                           Conditions{60, 5, 2}, Conditions{60, 20, 2},
                                           Conditions{150, 0, 2}, Conditions{150, 5, 2},
                                           Conditions{150, 20, 2}, Conditions{60, 5, 0},
                                           Conditions{150, 20, 8}));

}  // namespace
