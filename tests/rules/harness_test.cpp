// Scripted play in the headless world: a few thousand frames of flying, aiming,
// turning, charging, releasing, hits, crashes, deaths and respawns, digested every
// 100 frames and compared with committed values.
//
// How the expected digests were checked: the script was written against the
// rules by hand, and the events it should cause (each player hit by the other,
// a crash after a throw, both fighters dying of their own releases and
// respawning, each death counted once) are asserted frame by frame below, so the
// digests stand for a play that does what it should. The values then came out
// the same in the 5-5-5, 5-6-5 and sanitizer builds and on repeated runs; the
// shapes are drawn in code, so they do not depend on the art or pixel layout.
// Any change to the rules' arithmetic (angle constant, truncation, bob, order of
// steps) changes them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rules/headless_world.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "tests/rules/harness_script.h"

namespace {

constexpr int32_t digestEvery = 100;

// The world after every 100 frames of the script.
const uint64_t expectedDigests[] = {
    0x11FE48B37C11A46Dull, 0x2DE975737A4CE0E1ull, 0x01DE90B9409683F3ull, 0xB629D3FD9D64DCC9ull,
    0x734047A53CA34C50ull, 0x591F4DA5AAD9E484ull, 0x89293DA0F09D02C0ull, 0x0809974291E03909ull,
    0x7D11970CBCBC55B9ull, 0xCF1A10C22FB345FDull, 0xD87B84871231E1F8ull, 0xC37D4F4F6B7496C4ull,
    0xE8012A6921995873ull, 0xA1D13426D1466ED2ull, 0xEB50050C5F5C50D5ull, 0xFCAD8111F77CC1E8ull,
    0xA37CD9B69EC49525ull, 0x0526A55F2D834592ull, 0xD39FC3D0B5EBA405ull, 0xB94FFE22B2E92B87ull,
    0xDD997DF6553FC673ull, 0xE914E4132E7357CBull, 0x67667ED8268A757Bull, 0x459E6D9042088E85ull,
    0xDD5457420B8C7E02ull, 0x2E5DA46D09D4403Aull, 0x84824186CEB16432ull, 0xD65E6FA975D603D5ull,
    0xC8D7D46561B706ADull, 0xD139A27B6F38B055ull,
};

// The rules state alone (DigestRules) at the same points: what a replay or an
// online game compares. Committed after the full digests above had been checked;
// like them, the same in every build.
const uint64_t expectedRulesDigests[] = {
    0xF969A7878D579A89ull, 0xF259FC6B1CE609A3ull, 0xE89027CDC4DA28D7ull, 0xE6658EC3C1D2BB7Dull,
    0xBC5749FCC949D5ECull, 0xEBD03C588E4C64B7ull, 0x2E3D9226C7A1B081ull, 0xAD03007EBBB2C7DCull,
    0xFD7E562FB0224603ull, 0x489AC7C60CEFD53Full, 0x3E20A51052003538ull, 0x222D376B7E631E4Bull,
    0x7F0EEA115BF8CB76ull, 0x6D65F8F495A79249ull, 0x46533A36A66D8E6Eull, 0x41BEE6CFDEA4AC07ull,
    0x9C30766E722ED8EEull, 0xFF56B2A9663DF576ull, 0x34B568F69E9E8101ull, 0x0C1DFEDDBE7845B7ull,
    0xEDDC27D2C1A31E4Full, 0x9FD75337B6A0DDA3ull, 0xD1A7304F8DD34CBFull, 0x993F669AC20BE1A8ull,
    0x4E09C620757ECEC2ull, 0xFD1001712DFF3688ull, 0x2791AA0A3FAE6BB1ull, 0xA43A505C6635AAD6ull,
    0x30B1DA516021680Eull, 0xFFB8992CFFDA8791ull,
};

TEST(HeadlessWorld, StartsFromTheSameWorldEveryTime) {
    ResetHeadlessWorld();
    EXPECT_EQ(fighters[0].x, 328);
    EXPECT_EQ(fighters[0].y, 536);
    EXPECT_EQ(fighters[1].x, 2672);
    EXPECT_EQ(fighters[1].y, 800);
    EXPECT_EQ(blastCount, 0);
    const uint64_t first = DigestWorld();
    fighters[0].Update(ControlRight);
    EXPECT_NE(DigestWorld(), first);
    ResetHeadlessWorld();
    EXPECT_EQ(DigestWorld(), first);
}

TEST(HeadlessWorld, ScriptedPlayCausesItsEventsAndKeepsItsDigests) {
    const std::vector<FrameControls> script = BuildHarnessScript();
    const auto frameCount = static_cast<int32_t>(script.size());
    ResetHeadlessWorld();

    int hits[2] = {0, 0};
    int crashes[2] = {0, 0};
    int releases[2] = {0, 0};
    int turns[2] = {0, 0};
    int32_t mostBlasts = 0;
    std::vector<uint64_t> digests;
    std::vector<uint64_t> rulesDigests;
    for (int32_t frame = 0; frame < frameCount; ++frame) {
        const Fighter before[2] = {fighters[0], fighters[1]};
        StepWorld(script[frame].first, script[frame].second);
        for (int i = 0; i < 2; ++i) {
            const Fighter& now = fighters[i];
            if (now.state == StateKnockedBack && now.stunTimer > before[i].stunTimer) {
                ++hits[i];
            }
            // A fatal crash respawns the fighter in the same frame.
            if (before[i].state == StateKnockedBack &&
                (now.state == StateCrashed || now.deaths != before[i].deaths)) {
                ++crashes[i];
            }
            if (now.state == StateCrashed && before[i].state == StateKnockedBack) {
                EXPECT_LT(now.health, before[i].health) << frame;
            }
            // Only a release empties the ki; a hit while charging keeps it.
            if (before[i].state == StateCharging && before[i].ki > 0 && now.ki == 0) {
                ++releases[i];
            }
            if (now.facing != before[i].facing) {
                ++turns[i];
            }
            // A death counts once, and only for a fighter that was down.
            if (now.deaths != before[i].deaths) {
                EXPECT_EQ(now.deaths, before[i].deaths + 1);
                EXPECT_LE(before[i].health, 0) << frame;
                EXPECT_EQ(now.health, 100);
            }
        }
        mostBlasts = blastCount > mostBlasts ? blastCount : mostBlasts;
        if ((frame + 1) % digestEvery == 0) {
            digests.push_back(DigestWorld());
            rulesDigests.push_back(DigestRules());
        }
    }
    EXPECT_GE(hits[0], 1);
    EXPECT_GE(hits[1], 1);
    EXPECT_GE(crashes[0], 1);
    EXPECT_GE(crashes[1], 1);
    EXPECT_GE(releases[0], 5);
    EXPECT_GE(releases[1], 8);
    EXPECT_GE(turns[1], 1);
    EXPECT_GE(mostBlasts, 3);
    EXPECT_EQ(fighters[0].deaths, 1);  // the second player's kill
    EXPECT_EQ(fighters[1].deaths, 1);  // the first player's kill

    EXPECT_EQ(digests,
              std::vector<uint64_t>(std::begin(expectedDigests), std::end(expectedDigests)));
    EXPECT_EQ(rulesDigests, std::vector<uint64_t>(std::begin(expectedRulesDigests),
                                                  std::end(expectedRulesDigests)));

    // The harness's own runner reproduces the same digests from a fresh reset.
    ResetHeadlessWorld();
    std::vector<uint64_t> again(digests.size());
    const int32_t stored = RunScript(script.data(), frameCount, digestEvery, again.data(),
                                     static_cast<int32_t>(again.size()));
    EXPECT_EQ(stored, static_cast<int32_t>(digests.size()));
    EXPECT_EQ(again, digests);
}

// A play drawn on screen advances each fighter's idle animation once per view,
// twice a frame, and its audio may find the first copy of the charge sound
// still busy; a headless run of the same script does neither. The rules
// digests still agree every 60 frames, as a replay compares them, while the
// full digests tell the two runs apart.
TEST(HeadlessWorld, APlayDrawnOnScreenKeepsTheHeadlessRulesDigests) {
    const std::vector<FrameControls> script = BuildHarnessScript();
    constexpr size_t replayEvery = 60;
    struct Run {
        std::vector<uint64_t> rules;
        std::vector<uint64_t> full;
    };
    auto play = [&](bool drawn) {
        Run run;
        ResetHeadlessWorld();
        for (size_t frame = 0; frame < script.size(); ++frame) {
            StepWorld(script[frame].first, script[frame].second);
            if (drawn) {
                for (int view = 0; view < 2; ++view) {
                    fighters[0].CurrentFrame();
                    fighters[1].CurrentFrame();
                }
                for (Fighter& fighter : fighters) {
                    if (fighter.chargeSound == 1) {
                        fighter.chargeSound = 2;
                    }
                }
            }
            if ((frame + 1) % replayEvery == 0) {
                run.rules.push_back(DigestRules());
                run.full.push_back(DigestWorld());
            }
        }
        return run;
    };
    const Run headless = play(false);
    const Run drawn = play(true);
    ASSERT_EQ(headless.rules.size(), script.size() / replayEvery);
    EXPECT_EQ(drawn.rules, headless.rules);
    EXPECT_NE(drawn.full.front(), headless.full.front());
    EXPECT_NE(drawn.full, headless.full);
}

}  // namespace
