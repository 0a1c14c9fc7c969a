// Matches decided by their rule, and the statistics counted from the frames'
// events, checked against the harness's own frame-by-frame counting.
#include <gtest/gtest.h>

#include <cstring>

#include "rules/match_rule.h"
#include "rules/match_stats.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "tests/rules/harness_script.h"

namespace {

struct DecisionCase {
    MatchRule rule;
    int32_t frames;
    int32_t firstDeaths;
    int32_t secondDeaths;
    bool decided;
    int32_t winner;
};

TEST(MatchRule, DecidesByKillsOrTimeAndNeverWhenEndless) {
    const DecisionCase cases[] = {
        {{MatchEndless, 0}, 10000000, 50, 3, false, -1},
        {{MatchFirstToKills, 5}, 100, 0, 4, false, -1},
        {{MatchFirstToKills, 5}, 100, 2, 5, true, 0},   // the second's deaths are the first's kills
        {{MatchFirstToKills, 5}, 100, 5, 5, true, -1},  // both reach it in one frame: a draw
        {{MatchFirstToKills, 1}, 1, 1, 0, true, 1},
        {{MatchFirstToKills, 0}, 1, 1, 0, true, 1},       // held to at least one kill
        {{MatchFirstToKills, 500}, 1, 98, 0, false, -1},  // held to at most 99
        {{MatchFirstToKills, 500}, 1, 99, 0, true, 1},
        {{MatchTimeLimit, 3}, 3 * 3600 - 1, 0, 7, false, -1},
        {{MatchTimeLimit, 3}, 3 * 3600, 0, 7, true, 0},
        {{MatchTimeLimit, 3}, 3 * 3600, 2, 2, true, -1},
        {{MatchTimeLimit, 90}, 30 * 3600, 1, 0, true, 1},  // held to 30 minutes
        {{7, 4}, 10000000, 9, 0, false, -1},               // an unknown rule is endless
    };
    for (const DecisionCase& c : cases) {
        Fighter pair[2];
        pair[0].deaths = c.firstDeaths;
        pair[1].deaths = c.secondDeaths;
        const MatchOutcome outcome = DecideMatch(c.rule, c.frames, pair);
        EXPECT_EQ(outcome.decided, c.decided)
            << int(c.rule.kind) << " " << c.rule.value << " at " << c.frames;
        EXPECT_EQ(outcome.winner, c.winner)
            << int(c.rule.kind) << " " << c.rule.value << " at " << c.frames;
    }
}

TEST(MatchRule, DescribesItself) {
    char text[40];
    DescribeRule({MatchFirstToKills, 1}, text, sizeof text);
    EXPECT_STREQ(text, "first to 1 kill");
    DescribeRule({MatchFirstToKills, 5}, text, sizeof text);
    EXPECT_STREQ(text, "first to 5 kills");
    DescribeRule({MatchTimeLimit, 2}, text, sizeof text);
    EXPECT_STREQ(text, "2 minutes");
    DescribeRule({}, text, sizeof text);
    EXPECT_STREQ(text, "endless");
}

// The harness's play, stepped as any match: the statistics count exactly the
// releases and hits seen in the fighters' state from frame to frame.
TEST(MatchStats, CountTheReleasesAndHitsThePlayMade) {
    const std::vector<FrameControls> script = BuildHarnessScript();
    ResetHeadlessWorld();
    MatchStats stats;
    int32_t releases[2] = {0, 0};
    int32_t hits[2] = {0, 0};
    int32_t healthLostToHits[2] = {0, 0};
    for (const FrameControls& frame : script) {
        const Fighter before[2] = {fighters[0], fighters[1]};
        const int32_t blastsBefore = blastCount;
        StepWorld(frame.first, frame.second);
        stats.Note(frameEvents);
        for (int i = 0; i < 2; ++i) {
            const Fighter& now = fighters[i];
            if (before[i].state == StateCharging && before[i].ki > 0 && now.ki == 0) {
                ++releases[i];
            }
            if (now.stunTimer > before[i].stunTimer && now.state == StateKnockedBack) {
                ++hits[1 - i];
                // A hit costs half the blast's power; a crash in the same
                // frame would cost more, which this play never has.
                healthLostToHits[1 - i] += before[i].health - now.health;
            }
        }
        ASSERT_LE(blastCount, blastsBefore + 2);
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(stats.players[i].blastsReleased, releases[i]) << i;
        EXPECT_EQ(stats.players[i].hitsLanded, hits[i]) << i;
        EXPECT_EQ(stats.players[i].damageDealt, healthLostToHits[i]) << i;
        EXPECT_GT(stats.players[i].hitsLanded, 0) << i;
    }
    EXPECT_EQ(stats.players[0].AccuracyPercent(),
              stats.players[0].hitsLanded * 100 / stats.players[0].blastsReleased);
    EXPECT_EQ(PlayerStats().AccuracyPercent(), 0);
}

}  // namespace
