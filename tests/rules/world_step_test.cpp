// The order of a frame's rules and the world's start.
#include <gtest/gtest.h>

#include "rules/starting_field.h"
#include "rules/world_step.h"
#include "tests/rules/world_fixture.h"

namespace {

using WorldStepTest = WorldTest;

TEST_F(WorldStepTest, FirstFightersBlastMeetsTheSecondAtItsLaunchPoint) {
    // The second fighter sits right on the first's launch point (366, 556): the
    // new blast hits it in the same frame, before the blast ever moves.
    Fighter& first = Place(0, 328, 536);
    Fighter& second = Place(1, 366 - 24, 556 - 24);
    first.state = StateCharging;
    first.ki = 40;
    StepWorld(0, 0);
    EXPECT_EQ(second.state, StateKnockedBack);
    EXPECT_EQ(second.health, 80);
    EXPECT_EQ(blastCount, 0);
}

TEST_F(WorldStepTest, SecondFightersBlastMovesBeforeTheFirstIsTested) {
    // Launch point (1632 + 32, 1620) = (1664, 1620); the first fighter's centre is
    // 23 pixels to its left: a size 0 blast (reach 22) misses it there, and after
    // its first move of 15 to the right it is farther still.
    Fighter& second = Place(1, 1632, 1600);
    Fighter& first = Place(0, 1664 - 23 - 24, 1596);
    second.state = StateCharging;
    second.ki = 5;
    StepWorld(0, 0);
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(blasts[0].x, 1664 + 15);  // moved once in its release frame
    StepWorld(0, 0);
    EXPECT_NE(first.state, StateKnockedBack);

    // Flying left it reaches the first fighter only on the next frame's test.
    blastCount = 0;
    Place(0, 1664 - 24 - 30, 1596);
    second.facing = 0;
    second.aim = 180;
    second.state = StateCharging;
    second.ki = 5;
    second.recoilTimer = 0;
    StepWorld(0, 0);
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(blasts[0].x, 1648 - 14);
    EXPECT_NE(first.state, StateKnockedBack);
    StepWorld(0, 0);
    EXPECT_EQ(first.state, StateKnockedBack);
}

TEST_F(WorldStepTest, ANewBlastCarvesInItsReleaseFrameAndCamerasFollow) {
    terrain.Generate(400, 400);
    Fighter& first = Place(0, 1600, 1600);
    first.state = StateCharging;
    first.ki = 40;
    first.x = 1700;  // moved without a camera update
    StepWorld(0, 0);
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(Cell((1738 + 15) / 8, 1620 / 8), 0);
    EXPECT_EQ(first.cameraX, 1700 - 176);
}

TEST_F(WorldStepTest, BuildStartingFieldDrawsTheStartFromTheRandomSequence) {
    ResetRandom();
    BuildStartingField();
    EXPECT_EQ(terrain.width, 400);
    EXPECT_EQ(fighters[0].firstPlayer, 1);
    EXPECT_EQ(fighters[1].muzzleX, 32);
    EXPECT_EQ(fighters[0].x, 328);
    EXPECT_EQ(fighters[1].y, 800);
    // Spawns take four numbers; the first crater is entry 3 (radius 7) at column
    // 278, row 124: its rim is open and the cell just beyond it is not (no other
    // crater comes near it).
    EXPECT_EQ(Cell(278, 124), 0);
    EXPECT_EQ(Cell(285, 124), 0);
    EXPECT_NE(Cell(286, 124), 0);
    EXPECT_EQ(blastSpriteTable.drawSprite[0], 3);
}

}  // namespace
