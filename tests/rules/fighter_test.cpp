// Fighter rules: aiming, turning, flight, charging and release, hits, falling,
// crashes, deaths, the hover bob, the camera and the reticle.
#include <gtest/gtest.h>

#include <vector>

#include "rules/blast_pool.h"
#include "tests/rules/world_fixture.h"

namespace {

using FighterTest = WorldTest;

std::vector<int32_t> AimsWhileHolding(Fighter& f, uint8_t controls, int frames) {
    std::vector<int32_t> aims;
    for (int k = 0; k < frames; ++k) {
        f.Update(controls);
        aims.push_back(f.aim);
    }
    return aims;
}

TEST_F(FighterTest, AimStepsThreeDegreesAndLandsOnStraightUpOrDown) {
    Fighter& f = Place(0, 1600, 1600);
    std::vector<int32_t> down = AimsWhileHolding(f, ControlDown, 32);
    EXPECT_EQ(down[0], 3);
    EXPECT_EQ(down[27], 84);
    EXPECT_EQ(down[28], 87);
    EXPECT_EQ(down[29], 90);
    EXPECT_EQ(down[31], 90);

    f.aim = 0;
    std::vector<int32_t> up = AimsWhileHolding(f, ControlUp, 32);
    EXPECT_EQ(up[0], 357);
    EXPECT_EQ(up[28], 273);
    EXPECT_EQ(up[29], 270);
    EXPECT_EQ(up[31], 270);

    // Facing left the keys turn the other way and keep the aim in 90..270.
    f.facing = 0;
    f.aim = 180;
    down = AimsWhileHolding(f, ControlDown, 31);
    EXPECT_EQ(down[0], 177);
    EXPECT_EQ(down[28], 93);
    EXPECT_EQ(down[29], 90);
    EXPECT_EQ(down[30], 90);
    f.aim = 180;
    up = AimsWhileHolding(f, ControlUp, 31);
    EXPECT_EQ(up[0], 183);
    EXPECT_EQ(up[28], 267);
    EXPECT_EQ(up[29], 270);
    EXPECT_EQ(up[30], 270);
}

TEST_F(FighterTest, TurnMirrorsTheAimAndWaitsFourFramesWhenHeld) {
    Fighter& f = Place(0, 1600, 1600);
    const int32_t cases[][2] = {{30, 150}, {300, 240}, {90, 90}, {0, 180}, {270, 270}};
    for (const auto& c : cases) {
        f.facing = 1;
        f.turnCooldown = 0;
        f.aim = c[0];
        f.Update(ControlTurn);
        EXPECT_EQ(f.facing, 0);
        EXPECT_EQ(f.aim, c[1]) << c[0];
    }
    f.turnCooldown = 0;
    f.aim = 30;
    f.facing = 1;
    std::vector<int> facings;
    for (int k = 0; k < 9; ++k) {
        f.Update(ControlTurn);
        facings.push_back(f.facing);
    }
    EXPECT_EQ(facings, (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1, 0}));
    EXPECT_EQ(f.aim, 150);
}

TEST_F(FighterTest, OppositeKeyHaltsAtOnceButRestartWaitsFifteenFrames) {
    Fighter& f = Place(0, 1600, 1600);
    f.Update(ControlRight);
    EXPECT_EQ(f.motion, MotionForward);
    EXPECT_EQ(f.state, StateForwardLevel);
    EXPECT_EQ(f.x, 1608);
    f.Update(ControlLeft);
    EXPECT_EQ(f.motion, MotionStopped);
    EXPECT_EQ(f.state, StateIdle);
    EXPECT_EQ(f.x, 1608);
    // The forward start was two frames ago; backward may start 15 frames after it.
    for (int k = 0; k < 12; ++k) {
        f.Update(ControlLeft);
        EXPECT_EQ(f.motion, MotionStopped) << k;
    }
    f.Update(ControlLeft);
    EXPECT_EQ(f.motion, MotionStopped);
    f.Update(ControlLeft);
    EXPECT_EQ(f.motion, MotionBackward);
    EXPECT_EQ(f.state, StateBackLevel);
    EXPECT_EQ(f.dx, -7);

    // Both keys held: forward wins, and it halts a backward flight.
    f.Update(ControlLeft | ControlRight);
    EXPECT_EQ(f.motion, MotionStopped);
}

TEST_F(FighterTest, FlightVelocityAndStateFollowTheDirection) {
    struct Case {
        int32_t aim;
        uint8_t motion;
        int32_t dx, dy, state;
    };
    const Case cases[] = {
        {0, MotionForward, 8, 0, StateForwardLevel}, {90, MotionForward, 0, 7, StateMoveDown},
        {45, MotionForward, 5, 5, StateForwardDive}, {30, MotionForward, 6, 4, StateForwardDive},
        {60, MotionForward, 3, 6, StateForwardDive}, {22, MotionForward, 7, 2, StateForwardLevel},
        {67, MotionForward, 3, 7, StateMoveDown},    {293, MotionForward, 3, -7, StateForwardRise},
        {292, MotionForward, 2, -7, StateMoveUp},    {0, MotionBackward, -7, 0, StateBackLevel},
        {45, MotionBackward, -5, -5, StateBackRise}, {90, MotionBackward, 0, -7, StateMoveUp},
        {315, MotionBackward, -5, 5, StateBackDive}, {270, MotionBackward, 0, 7, StateMoveDown},
    };
    for (const Case& c : cases) {
        Fighter& f = Place(0, 1600, 1600);
        f.aim = c.aim;
        f.motion = c.motion;
        f.Update(0);
        EXPECT_EQ(f.dx, c.dx) << c.aim << " " << int(c.motion);
        EXPECT_EQ(f.dy, c.dy) << c.aim << " " << int(c.motion);
        EXPECT_EQ(f.state, c.state) << c.aim << " " << int(c.motion);
        EXPECT_EQ(f.x, 1600 + c.dx);
        EXPECT_EQ(f.y, 1600 + c.dy);
    }
}

TEST_F(FighterTest, FullChargeReleasesTheLargestBlastOnItsOwn) {
    Fighter& f = Place(0, 1600, 1600);
    for (int k = 0; k < 100; ++k) {
        f.Update(ControlCharge);
    }
    EXPECT_EQ(f.ki, 100);
    EXPECT_EQ(f.state, StateCharging);
    EXPECT_EQ(f.chargeSound, 1);
    EXPECT_EQ(blastCount, 0);
    f.Update(ControlCharge);  // the key is still held: the full charge lets go of it
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(blasts[0].size, 3);
    EXPECT_EQ(blasts[0].power, 100);
    EXPECT_EQ(blasts[0].shooter, 0);
    EXPECT_EQ(blasts[0].x, 1638);
    EXPECT_EQ(blasts[0].y, 1620);
    EXPECT_EQ(blasts[0].vx, 15);
    EXPECT_EQ(f.health, 80);
    EXPECT_EQ(f.ki, 0);
    EXPECT_EQ(f.state, StateFiring);
    // Locked out for 100 frames, then idle again.
    for (int k = 0; k < 99; ++k) {
        f.Update(ControlCharge | ControlRight);
        EXPECT_EQ(f.state, StateFiring) << k;
    }
    f.Update(ControlCharge);
    EXPECT_EQ(f.state, StateIdle);
    EXPECT_EQ(f.motion, MotionStopped);
    f.Update(ControlCharge);
    EXPECT_EQ(f.state, StateCharging);
}

TEST_F(FighterTest, BlastSizeAndHealthCostFollowTheKi) {
    const int32_t kis[] = {1, 4, 5, 10, 11, 20, 21, 30, 31};
    const int sizes[] = {0, 0, 0, 0, 1, 1, 2, 2, 3};
    for (int k = 0; k < 9; ++k) {
        blastCount = 0;
        Fighter& f = Place(1, 1600, 1600);
        f.state = StateCharging;
        f.ki = kis[k];
        f.recoilTimer = 0;
        f.Update(0);
        ASSERT_EQ(blastCount, 1);
        EXPECT_EQ(blasts[0].size, sizes[k]) << kis[k];
        EXPECT_EQ(blasts[0].shooter, 1);
        EXPECT_EQ(f.health, 100 - kis[k] / 5) << kis[k];
        EXPECT_EQ(f.recoilTimer, kis[k]);
    }
}

TEST_F(FighterTest, MirroredFighterLaunchesFromTheMirroredMuzzle) {
    Fighter& f = Place(1, 1600, 1600);
    f.facing = 0;
    f.aim = 180;
    f.state = StateCharging;
    f.ki = 15;
    f.Update(0);
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(blasts[0].x, 1600 + 16);  // 48 - 32
    EXPECT_EQ(blasts[0].y, 1620);
    EXPECT_EQ(blasts[0].vx, -14);
}

TEST_F(FighterTest, HitStunsDamagesThrowsAndUsesUpTheBlast) {
    Fighter& f = Place(0, 1600, 100);
    f.motion = MotionForward;
    AddBlast(1630, 124, 2, 1, 61, 10, -3);
    AddBlast(3000, 3000, 1, 1);
    f.Update(0);
    EXPECT_EQ(f.state, StateKnockedBack);
    EXPECT_EQ(f.motion, MotionStopped);
    EXPECT_EQ(f.stunTimer, 75);
    EXPECT_EQ(f.health, 70);
    // Thrown along the blast's path, already falling one pixel a frame faster.
    EXPECT_EQ(f.dx, 10);
    EXPECT_EQ(f.dy, -2);
    EXPECT_EQ(f.x, 1610);
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(blasts[0].x, 3000);

    // The stun runs out while still falling free; then the fighter hovers again.
    for (int k = 0; k < 74; ++k) {
        f.Update(0);
        EXPECT_EQ(f.state, StateKnockedBack);
    }
    f.Update(0);
    EXPECT_EQ(f.state, StateIdle);
    EXPECT_EQ(f.dx, 0);
    EXPECT_EQ(f.dy, 0);
}

TEST_F(FighterTest, EachBlastSizeStunsForItsOwnTime) {
    const uint8_t stun[] = {25, 50, 75, 100};
    for (uint8_t size = 0; size < 4; ++size) {
        blastCount = 0;
        Fighter& f = Place(0, 1600, 100);
        f.stunTimer = 0;
        AddBlast(1624, 124, size, 1);
        f.Update(0);
        EXPECT_EQ(f.stunTimer, stun[size]) << int(size);
    }
}

TEST_F(FighterTest, ThrownFighterFallsFasterUntilItCrashes) {
    Fighter& f = Place(0, 1600, 1600);
    Dirt(203, 214);  // under the centre of (1600, 1690)
    f.state = StateKnockedBack;
    f.stunTimer = 200;
    f.dy = 0;
    std::vector<int32_t> ys;
    for (int k = 0; k < 20 && f.state == StateKnockedBack; ++k) {
        f.Update(0);
        ys.push_back(f.y);
    }
    // Falls 1, 2, 3, ... pixels a frame: 1601, 1603, 1606, ..., 1666, 1678; the next
    // step of 12 would put the centre on the dirt of row 214: a crash at speed 12.
    EXPECT_EQ(f.state, StateCrashed);
    EXPECT_EQ(ys[0], 1601);
    EXPECT_EQ(ys[1], 1603);
    EXPECT_EQ(ys.size(), 13u);
    EXPECT_EQ(f.y, 1678);
    EXPECT_EQ(f.health, 100 - 12);
    EXPECT_EQ(f.dx, 0);
    EXPECT_EQ(f.dy, 0);
    const int32_t rest = f.y;
    f.Update(0);
    EXPECT_EQ(f.y, rest);
}

TEST_F(FighterTest, CrashDamageIsTheTruncatedSpeedAndDeathCountsAndRespawns) {
    terrain.Generate(400, 400);
    ResetRandom();
    Fighter& f = Place(0, 0, 1600);
    f.state = StateKnockedBack;
    f.stunTimer = 10;
    f.health = 9;
    f.dx = -7;
    f.dy = 7;  // sqrt(98) = 9.9: 9 damage
    const int32_t otherDeaths = fighters[1].deaths;
    f.Update(0);
    EXPECT_EQ(f.state, StateIdle);  // died and respawned
    EXPECT_EQ(f.deaths, 1);
    EXPECT_EQ(fighters[1].deaths, otherDeaths);
    EXPECT_EQ(f.health, 100);
    // The first numbers of the sequence place it at (328, 536), in a fresh crater.
    EXPECT_EQ(f.x, 328);
    EXPECT_EQ(f.y, 536);
    EXPECT_EQ(Cell((328 + 24) / 8, (536 + 24) / 8), 0);
    EXPECT_NE(Cell(0, 0), 0);

    // A crash it survives is just damage.
    Fighter& g = Place(1, 0, 1600);
    g.state = StateKnockedBack;
    g.stunTimer = 10;
    g.health = 10;
    g.dx = -7;
    g.dy = 5;  // sqrt(74) = 8.6: 8 damage
    g.Update(0);
    EXPECT_EQ(g.state, StateCrashed);
    EXPECT_EQ(g.health, 2);
    EXPECT_EQ(g.deaths, 0);
}

TEST_F(FighterTest, ReleasingTheLastHealthIsADeathCountedForTheOtherPlayer) {
    Fighter& f = Place(0, 1600, 3000);
    f.health = 20;
    for (int k = 0; k < 101; ++k) {
        f.Update(ControlCharge);
    }
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(f.health, 0);
    int frames = 0;
    while (f.deaths == 0 && frames < 200) {
        f.Update(ControlCharge | ControlRight);
        EXPECT_TRUE(f.deaths == 1 || f.state == StateKnockedBack);
        ++frames;
    }
    // Held without controls, it fell to the bottom edge and crashed there.
    EXPECT_EQ(f.deaths, 1);
    EXPECT_EQ(f.health, 100);
    EXPECT_EQ(f.state, StateIdle);
}

TEST_F(FighterTest, FullPoolMakesTheReleaseFizzleWithoutCost) {
    Fighter& f = Place(0, 1600, 1600);
    for (int32_t i = 0; i < blastPoolSize; ++i) {
        AddBlast(10, 10, 0, 0);
    }
    blasts[blastPoolSize - 1].x = 77;
    f.state = StateCharging;
    f.ki = 50;
    f.Update(0);
    EXPECT_EQ(blastCount, blastPoolSize);
    EXPECT_EQ(blasts[blastPoolSize - 1].x, 77);
    EXPECT_EQ(f.health, 100);
    EXPECT_EQ(f.ki, 0);
    EXPECT_EQ(f.state, StateFiring);
    EXPECT_EQ(f.recoilTimer, 50);

    // Once a slot is free again releases work as before.
    blastCount = blastPoolSize - 1;
    f.recoilTimer = 0;
    f.state = StateCharging;
    f.ki = 50;
    f.Update(0);
    EXPECT_EQ(blastCount, blastPoolSize);
    EXPECT_EQ(f.health, 90);
}

TEST_F(FighterTest, HitInTheFrameTheKiFillsDoesNotFreezeTheFighter) {
    Fighter& f = Place(0, 1600, 1600);
    for (int k = 0; k < 99; ++k) {
        f.Update(ControlCharge);
    }
    ASSERT_EQ(f.ki, 99);
    AddBlast(1624, 1624, 0, 1, 20);
    f.Update(ControlCharge);  // ki reaches 100, then the hit throws it
    ASSERT_EQ(f.ki, 100);
    ASSERT_EQ(f.state, StateKnockedBack);
    ASSERT_EQ(blastCount, 0);
    for (int k = 0; k < 30; ++k) {
        f.Update(0);
    }
    // Recovered with its ki kept, and flies again.
    EXPECT_EQ(f.state, StateIdle);
    EXPECT_EQ(f.ki, 100);
    f.Update(ControlRight);
    EXPECT_EQ(f.motion, MotionForward);
    // Its next charge releases at once.
    f.Update(ControlCharge);
    EXPECT_EQ(f.state, StateCharging);
    f.Update(ControlCharge);
    EXPECT_EQ(f.state, StateFiring);
    ASSERT_EQ(blastCount, 1);
    EXPECT_EQ(blasts[0].power, 100);
}

TEST_F(FighterTest, HitWhileChargingKeepsTheKiAndReleasesNothingOnLettingGo) {
    Fighter& f = Place(0, 1600, 1600);
    for (int k = 0; k < 40; ++k) {
        f.Update(ControlCharge);
    }
    AddBlast(1624, 1624, 0, 1, 20);
    f.Update(ControlCharge);
    EXPECT_EQ(f.state, StateKnockedBack);
    EXPECT_EQ(f.ki, 41);
    f.Update(0);
    EXPECT_EQ(blastCount, 0);
    EXPECT_EQ(f.ki, 41);
    // Charging again cuts the knock-back short and goes on from the kept ki.
    f.Update(ControlCharge);
    EXPECT_EQ(f.state, StateCharging);
    EXPECT_EQ(f.ki, 42);
    EXPECT_EQ(f.dx, 0);
    EXPECT_EQ(f.dy, 0);
}

TEST_F(FighterTest, HoverBobTurnsAtTheExpectedHeights) {
    Fighter& f = Place(0, 1600, 1600);
    std::vector<int> offsets;
    std::vector<int> turns;
    int previous = 0;
    int direction = 1;
    for (int k = 0; k < 200; ++k) {
        f.Update(0);
        offsets.push_back(f.bobOffset);
        const int step = f.bobOffset - previous;
        if (step != 0 && (step > 0) != (direction > 0)) {
            turns.push_back(previous);
            direction = step;
        }
        previous = f.bobOffset;
    }
    EXPECT_EQ(std::vector<int>(offsets.begin(), offsets.begin() + 11),
              (std::vector<int>{0, 0, 0, 0, 1, 2, 3, 4, 5, 7, 8}));
    ASSERT_GE(turns.size(), 7u);
    EXPECT_EQ(std::vector<int>(turns.begin(), turns.begin() + 7),
              (std::vector<int>{12, -10, 9, -12, 8, -12, 8}));
    EXPECT_EQ(f.y, 1600);  // the bob is drawn, never moves the fighter
}

TEST_F(FighterTest, IdleAnimationAdvancesEveryElevenDrawsForTheFirstFighterOnly) {
    Fighter& f = Place(0, 1600, 1600);
    std::vector<int> frames;
    for (int k = 0; k < 34; ++k) {
        frames.push_back(f.CurrentFrame());
    }
    EXPECT_EQ(frames[9], 0);
    EXPECT_EQ(frames[10], 1);
    EXPECT_EQ(frames[21], 2);
    EXPECT_EQ(frames[32], 0);
    f.state = StateCharging;
    EXPECT_EQ(f.CurrentFrame(), 10);

    Fighter& g = Place(1, 1600, 1600);
    for (int k = 0; k < 20; ++k) {
        EXPECT_EQ(g.CurrentFrame(), 0);
    }
    g.state = StateKnockedBack;
    EXPECT_EQ(g.CurrentFrame(), 8);
}

TEST_F(FighterTest, CameraCentresTheFighterWithinTheField) {
    Fighter& f = Place(0, 1600, 1600);
    EXPECT_EQ(f.cameraX, 1424);
    EXPECT_EQ(f.cameraY, 1424);
    Place(0, 100, 3152);
    EXPECT_EQ(f.cameraX, 0);
    EXPECT_EQ(f.cameraY, 2800);
}

TEST_F(FighterTest, ReticleSitsThirtyPixelsOutFromTheMuzzle) {
    Fighter& f = Place(0, 1600, 1600);
    EXPECT_EQ(f.ReticleX(), 176 + 38 - 10 + 30);
    EXPECT_EQ(f.ReticleY(), 176 + 20 - 10);
    f.aim = 90;
    // cos(90) comes out a hair below 0, and the sum is truncated: one pixel left.
    EXPECT_EQ(f.ReticleX(), 176 + 38 - 10 - 1);
    EXPECT_EQ(f.ReticleY(), 176 + 20 - 10 + 29);
    f.facing = 0;
    f.aim = 180;
    EXPECT_EQ(f.ReticleX(), 176 + 10 - 10 - 30);
}

TEST_F(FighterTest, CollisionTestsBoundsAndTheCentreCellOnly) {
    Fighter& f = Place(0, 1600, 1600);
    f.dx = 7;
    EXPECT_FALSE(f.WouldCollide());
    Dirt((1607 + 24) / 8, (1600 + 24) / 8);
    EXPECT_TRUE(f.WouldCollide());
    Dirt((1607) / 8, (1600) / 8);  // under the sprite's corner: no matter
    f.dx = -7;
    EXPECT_FALSE(f.WouldCollide());

    Place(0, 3152, 3152);
    f.dx = 0;
    f.dy = 0;
    EXPECT_FALSE(f.WouldCollide());
    f.dx = 1;
    EXPECT_TRUE(f.WouldCollide());
    Place(0, 0, 0);
    f.dx = -1;
    EXPECT_TRUE(f.WouldCollide());
}

TEST_F(FighterTest, FlyingIntoDirtStopsInFrontAndGoesOnWhenThePathOpens) {
    Fighter& f = Place(0, 1600, 1600);
    Dirt((1616 + 24) / 8, (1600 + 24) / 8);
    f.Update(ControlRight);
    f.Update(ControlRight);
    EXPECT_EQ(f.x, 1608);
    f.Update(0);
    EXPECT_EQ(f.x, 1608);
    EXPECT_EQ(f.motion, MotionForward);
    EXPECT_EQ(f.state, StateForwardLevel);
    terrain.cells[((1600 + 24) / 8) * 400 + (1616 + 24) / 8] = 0;
    f.Update(0);
    EXPECT_EQ(f.x, 1616);
}

TEST_F(FighterTest, SpawnsFollowTheRandomSequence) {
    terrain.Generate(400, 400);
    ResetRandom();
    fighters[0].SpawnWithCrater();
    fighters[1].SpawnWithCrater();
    EXPECT_EQ(fighters[0].x, 328);
    EXPECT_EQ(fighters[0].y, 536);
    EXPECT_EQ(fighters[1].x, 2672);
    EXPECT_EQ(fighters[1].y, 800);
    EXPECT_EQ(fighters[1].health, 100);
    EXPECT_EQ(Cell((2672 + 24) / 8, (800 + 24) / 8), 0);
}

}  // namespace
