// Blast launch velocities, flight bounds, hit search, removal and the flight loop.
#include <gtest/gtest.h>

#include "rules/blast_pool.h"
#include "tests/rules/world_fixture.h"

namespace {

using KiBlastTest = WorldTest;

TEST_F(KiBlastTest, LaunchTruncatesTheVelocityOfTheWideAngleConstant) {
    struct Case {
        int32_t angle, vx, vy;
    };
    // The constant is a little above pi / 180, so 90 and 180 fall short of 15.
    const Case cases[] = {{0, 15, 0}, {90, 0, 14}, {180, -14, 0}, {270, 0, -14}, {45, 10, 10}};
    for (const Case& c : cases) {
        KiBlast blast;
        blast.power = 77;
        blast.shooter = 1;
        blast.Launch(100, 200, c.angle, 15, 2);
        EXPECT_EQ(blast.vx, c.vx) << c.angle;
        EXPECT_EQ(blast.vy, c.vy) << c.angle;
        EXPECT_EQ(blast.x, 100);
        EXPECT_EQ(blast.y, 200);
        EXPECT_EQ(blast.size, 2);
        EXPECT_EQ(blast.power, 77);  // the releasing fighter's to set
        EXPECT_EQ(blast.shooter, 1);
    }
}

TEST_F(KiBlastTest, AdvanceLeavesLateOnTheLeftAndTopButAtOnceOnTheRightAndBottom) {
    KiBlast blast;
    blast.Launch(3185, 1000, 0, 15, 0);
    EXPECT_FALSE(blast.Advance());  // centre exactly on 3200
    EXPECT_TRUE(blast.Advance());

    blast.Launch(1000, 3186, 90, 15, 0);
    EXPECT_FALSE(blast.Advance());
    EXPECT_TRUE(blast.Advance());

    blast.Launch(-38, 1000, 180, 15, 0);
    EXPECT_FALSE(blast.Advance());  // -52: its image still shows
    EXPECT_TRUE(blast.Advance());

    blast.Launch(1000, -38, 270, 15, 0);
    EXPECT_FALSE(blast.Advance());
    EXPECT_TRUE(blast.Advance());
}

TEST_F(KiBlastTest, CopyTakesEveryField) {
    KiBlast a;
    a.Launch(-7, 9, 45, 15, 3);
    a.power = 55;
    a.shooter = 1;
    KiBlast b;
    b = a;
    EXPECT_EQ(b.power, 55);
    EXPECT_EQ(b.shooter, 1);
    EXPECT_EQ(b.size, 3);
    EXPECT_EQ(b.vx, 10);
    EXPECT_EQ(b.vy, 10);
    EXPECT_EQ(b.x, -7);
    EXPECT_EQ(b.y, 9);
}

TEST_F(KiBlastTest, ReachDependsOnSizeAndTruncatedDistance) {
    // Fighter at (0, 0) has its centre at (24, 24); blasts of the second fighter.
    const int32_t reach[] = {22, 27, 34, 43};
    for (uint8_t size = 0; size < 4; ++size) {
        blastCount = 0;
        AddBlast(24 + reach[size] - 1, 24, size, 1);
        EXPECT_EQ(FindHittingBlast(0, 0, 1), 0) << int(size);
        blastCount = 0;
        AddBlast(24 + reach[size], 24, size, 1);
        EXPECT_EQ(FindHittingBlast(0, 0, 1), -1) << int(size);
    }
    // 15^2 + 15^2 = 450, root 21.2: truncated to 21, inside size 0's reach.
    blastCount = 0;
    AddBlast(39, 39, 0, 1);
    EXPECT_EQ(FindHittingBlast(0, 0, 1), 0);
}

TEST_F(KiBlastTest, OwnBlastsNeverHitAndTheHighestSlotWins) {
    AddBlast(24, 24, 3, 0);  // the first fighter's own blast, dead centre
    EXPECT_EQ(FindHittingBlast(0, 0, 1), -1);
    EXPECT_EQ(FindHittingBlast(0, 0, 0), 0);  // but it hits the second fighter

    AddBlast(30, 24, 1, 1);
    AddBlast(500, 500, 1, 1);
    AddBlast(20, 20, 0, 1);
    AddBlast(900, 24, 3, 1);
    EXPECT_EQ(FindHittingBlast(0, 0, 1), 3);
}

TEST_F(KiBlastTest, RemovalMovesTheLastBlastIntoTheFreedSlot) {
    AddBlast(10, 0, 0, 0);
    AddBlast(20, 0, 1, 1);
    AddBlast(30, 0, 2, 0, 90, 4, 5);
    RemoveBlast(0);
    ASSERT_EQ(blastCount, 2);
    EXPECT_EQ(blasts[0].x, 30);
    EXPECT_EQ(blasts[0].size, 2);
    EXPECT_EQ(blasts[0].power, 90);
    EXPECT_EQ(blasts[0].vy, 5);
    EXPECT_EQ(blasts[1].x, 20);

    RemoveBlast(1);  // the last slot: copied onto itself
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(blasts[0].x, 30);

    RemoveBlast(1);  // not in flight
    RemoveBlast(-1);
    EXPECT_EQ(blastCount, 1);
}

TEST_F(KiBlastTest, FlightRemovesLeaversAndMovesTheCopiedBlastOnlyNextFrame) {
    AddBlast(3195, 100, 0, 0, 10, 15, 0);  // leaves this frame
    AddBlast(1000, 1000, 0, 0, 10, 3, 0);
    AddBlast(3190, 500, 0, 0, 10, 15, 0);  // leaves too, after being copied to slot 0
    AdvanceBlasts();
    // Slot 0 received the third blast, which was not moved; slot 1 moved.
    ASSERT_EQ(blastCount, 2);
    EXPECT_EQ(blasts[0].x, 3190);
    EXPECT_EQ(blasts[1].x, 1003);
    AdvanceBlasts();  // the copied blast leaves; the moving one is copied back unmoved
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(blasts[0].x, 1003);
    AdvanceBlasts();
    EXPECT_EQ(blasts[0].x, 1006);
}

TEST_F(KiBlastTest, FlightCarvesTheSizesShapeAroundTheCentreCell) {
    terrain.Generate(400, 400);
    AddBlast(800, 800, 3, 0, 50, 0, 8);  // size 3 carves the radius 7 disc
    AdvanceBlasts();
    // Centre now (800, 808): cell (100, 101).
    EXPECT_EQ(Cell(100, 101), 0);
    EXPECT_EQ(Cell(107, 101), 0);
    EXPECT_NE(Cell(108, 101), 0);
    EXPECT_EQ(Cell(100, 94), 0);
    EXPECT_NE(Cell(100, 93), 0);

    // Divisions truncate toward zero: a centre at x = -20 carves around column -2,
    // so the disc reaches column 5 and no further.
    blastCount = 0;
    AddBlast(-5, 1600, 3, 0, 50, -15, 0);
    AdvanceBlasts();
    EXPECT_EQ(Cell(5, 200), 0);
    EXPECT_NE(Cell(6, 200), 0);
}

TEST_F(KiBlastTest, SpriteTableDrawsEntriesThreeToSixAndCarvesZeroToThree) {
    for (int32_t size = 0; size < 4; ++size) {
        EXPECT_EQ(blastSpriteTable.drawSprite[size], 3 + size);
        EXPECT_EQ(blastSpriteTable.carveSprite[size], size);
    }
}

}  // namespace
