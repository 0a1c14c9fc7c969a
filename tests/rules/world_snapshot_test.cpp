// World snapshots: a restored world is the one taken, field for field of the
// rules, and runs on exactly as it did; what only drawing and sound use stays
// as the present left it.
#include <gtest/gtest.h>

#include <vector>

#include "rules/headless_world.h"
#include "rules/next_random.h"
#include "rules/world_snapshot.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "tests/rules/harness_script.h"

namespace {

TEST(WorldSnapshot, ARestoredWorldRunsOnExactlyAsBefore) {
    const std::vector<FrameControls> script = BuildHarnessScript();
    ResetHeadlessWorld();
    WorldSnapshot snapshot;
    snapshot.AllocateForWorld();
    constexpr size_t taken = 1000;
    for (size_t f = 0; f < taken; ++f) {
        StepWorld(script[f].first, script[f].second);
    }
    ASSERT_TRUE(snapshot.Take());
    const uint64_t rulesAtTake = DigestRules();
    const uint64_t fullAtTake = DigestWorld();
    const int32_t deathsAtTake = fighters[0].deaths + fighters[1].deaths;

    auto runOn = [&]() {
        std::vector<uint64_t> digests;
        for (size_t f = taken; f < script.size(); ++f) {
            StepWorld(script[f].first, script[f].second);
            if (f % 50 == 0) {
                digests.push_back(DigestRules());
            }
        }
        digests.push_back(DigestWorld());
        return digests;
    };
    const std::vector<uint64_t> first = runOn();
    // The span rewound covers deaths (random respawns and craters), hits and
    // blasts in flight, so every part of the snapshot is put to use.
    ASSERT_GT(fighters[0].deaths + fighters[1].deaths, deathsAtTake);
    ASSERT_NE(DigestRules(), rulesAtTake);

    ASSERT_TRUE(snapshot.Restore());
    EXPECT_EQ(DigestRules(), rulesAtTake);
    EXPECT_EQ(DigestWorld(), fullAtTake);  // headless: nothing drew or sounded since
    EXPECT_EQ(runOn(), first);
}

TEST(WorldSnapshot, RestoreKeepsWhatOnlyDrawingAndSoundUse) {
    ResetHeadlessWorld();
    WorldSnapshot snapshot;
    snapshot.AllocateForWorld();
    ASSERT_TRUE(snapshot.Take());
    const uint32_t random = RandomState();
    const int32_t x = fighters[1].x;
    const uint8_t cell = terrain.cells[123];
    fighters[1].x += 40;
    fighters[1].animTick = 7;
    fighters[1].animCycle = 2;
    fighters[1].chargeSound = 2;
    NextRandom();
    terrain.cells[123] = cell == 0 ? 5 : 0;
    blastCount = 3;
    ASSERT_TRUE(snapshot.Restore());
    EXPECT_EQ(fighters[1].x, x);
    EXPECT_EQ(RandomState(), random);
    EXPECT_EQ(blastCount, 0);
    EXPECT_EQ(terrain.cells[123], cell);
    EXPECT_EQ(fighters[1].animTick, 7);
    EXPECT_EQ(fighters[1].animCycle, 2);
    EXPECT_EQ(fighters[1].chargeSound, 2);
}

TEST(WorldSnapshot, RefusesATerrainOfAnotherSizeAndAnEmptySnapshot) {
    ResetHeadlessWorld();
    const uint64_t before = DigestWorld();
    WorldSnapshot small;
    small.Allocate(10, 10);
    EXPECT_FALSE(small.Take());
    EXPECT_FALSE(small.Restore());
    WorldSnapshot empty;
    empty.AllocateForWorld();
    EXPECT_FALSE(empty.Taken());
    EXPECT_FALSE(empty.Restore());
    EXPECT_EQ(DigestWorld(), before);
}

}  // namespace
