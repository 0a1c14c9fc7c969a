// The computer player's own model of flight, steering and blasts against the
// rules themselves: every velocity, every steered aim and every predicted hit
// must come out as a real fighter and a real blast make them, or its
// look-ahead would plan with a world that is not there.
#include <gtest/gtest.h>

#include <random>

#include "ai/flight_model.h"
#include "ai/shot_solver.h"
#include "ai/target_forecast.h"
#include "ai/world_sight.h"
#include "rules/blast_size_table.h"
#include "rules/world_step.h"
#include "tests/ai/ai_world.h"

namespace {

class FlightModelTest : public AiWorldTest {};

TEST_F(FlightModelTest, FlightAndBlastStepsAreTheRulesOwnForEveryDirection) {
    for (int32_t d = 0; d < 360; ++d) {
        OpenField();
        Fighter& f = Place(0, 1600, 1600);
        f.facing = AimInHalf(1, d) ? 1 : 0;
        f.aim = d;
        f.motion = MotionForward;
        f.Update(0);
        const Step flight = FlightStep(d);
        EXPECT_EQ(flight.x, f.dx) << "direction " << d;
        EXPECT_EQ(flight.y, f.dy) << "direction " << d;

        KiBlast blast;
        blast.Launch(0, 0, d, 15, 0);
        const Step v = BlastStep(d);
        EXPECT_EQ(v.x, blast.vx) << "aim " << d;
        EXPECT_EQ(v.y, blast.vy) << "aim " << d;
    }
    // The truncations the rules are known for.
    EXPECT_EQ(FlightStep(90).y, 7);
    EXPECT_EQ(FlightStep(0).x, 8);
    EXPECT_EQ(BlastStep(180).x, -14);
}

TEST_F(FlightModelTest, SteeringReachesEveryAimInTheFramesItPromises) {
    std::mt19937 draw(7);
    for (int32_t trial = 0; trial < 400; ++trial) {
        OpenField();
        Fighter& f = Place(0, 1600, 1600);
        f.facing = static_cast<uint8_t>(draw() % 2);
        const int32_t half = static_cast<int32_t>(draw() % 61) * 3;  // 0..180
        f.aim = f.facing == 1 ? WrapDegrees(270 + half) : 90 + half;
        const int32_t wanted = static_cast<int32_t>(draw() % 120) * 3;
        const int32_t promised = SteerAim(f.aim, f.facing, f.turnCooldown, wanted).frames;
        int32_t frames = 0;
        while (f.aim != wanted && frames < 200) {
            const AimSteer steer = SteerAim(f.aim, f.facing, f.turnCooldown, wanted);
            f.Update(steer.controls);
            ++frames;
        }
        ASSERT_EQ(f.aim, wanted) << "trial " << trial;
        EXPECT_EQ(frames, promised) << "trial " << trial << " from facing " << int(f.facing);
    }
}

TEST_F(FlightModelTest, LookAheadFlightFollowsTheRulesFrameByFrame) {
    // Pillars of dirt to fly into, keys pressed at random (never the charge).
    Dirt(1500, 1500, 1540, 1700);
    Dirt(1700, 1400, 1900, 1440);
    Dirt(1400, 1800, 1800, 1820);
    std::mt19937 draw(3);
    Fighter& f = Place(0, 1600, 1600);
    FlightSim sim;
    sim.x = f.x;
    sim.y = f.y;
    sim.aim = f.aim;
    sim.facing = f.facing;
    sim.motion = f.motion;
    int32_t moved = 0;
    uint8_t controls = 0;
    for (int32_t frame = 0; frame < 3000; ++frame) {
        if (draw() % 6 == 0) {
            controls = static_cast<uint8_t>(draw() % 64) & ~ControlCharge;
        }
        Sight sight;
        LookAtWorld(0, &sight);
        StepFlight(sim, controls, sight);
        const int32_t x = f.x;
        f.Update(controls);
        f.UpdateCamera();
        moved += f.x != x ? 1 : 0;
        ASSERT_EQ(sim.x, f.x) << "frame " << frame;
        ASSERT_EQ(sim.y, f.y) << "frame " << frame;
        ASSERT_EQ(sim.aim, f.aim) << "frame " << frame;
        ASSERT_EQ(sim.facing, f.facing) << "frame " << frame;
        ASSERT_EQ(sim.motion, f.motion) << "frame " << frame;
        ASSERT_EQ(sim.moveLock, f.moveLock) << "frame " << frame;
        ASSERT_EQ(sim.turnCooldown, f.turnCooldown) << "frame " << frame;
    }
    EXPECT_GT(moved, 300);
}

struct HitCase {
    const char* name;
    int shooter;
    int32_t shooterX, shooterY;
    uint8_t facing;
    int32_t targetX, targetY;
    int32_t targetAim;  // the target flies forward along this aim; -1 holds still
    int32_t ki;
};

void PrintTo(const HitCase& c, std::ostream* os) {
    *os << c.name;
}

class PredictedHitTest : public FlightModelTest, public ::testing::WithParamInterface<HitCase> {};

// The solver's best aim, charged and released as planned, meets the target in
// the very frame it foretold.
TEST_P(PredictedHitTest, HitComesInTheForetoldFrame) {
    const HitCase& c = GetParam();
    Fighter& shooter = Place(c.shooter, c.shooterX, c.shooterY);
    shooter.facing = c.facing;
    shooter.aim = c.facing == 1 ? 0 : 180;
    Fighter& target = Place(1 - c.shooter, c.targetX, c.targetY);
    uint8_t targetKeys = 0;
    Step velocity;
    if (c.targetAim >= 0) {
        target.facing = AimInHalf(1, c.targetAim) ? 1 : 0;
        target.aim = c.targetAim;
        target.motion = MotionForward;
        target.state = StateForwardLevel;
        velocity = FlightStep(c.targetAim);
    }
    Sight sight;
    LookAtWorld(c.shooter, &sight);
    FighterForecast forecast;
    ForecastFighter(sight, sight.fighters[1 - c.shooter], velocity, 0, &forecast);
    ShotSetup setup;
    setup.shooter = c.shooter;
    setup.x = shooter.x;
    setup.y = shooter.y;
    setup.muzzleX = shooter.muzzleX;
    setup.muzzleY = shooter.muzzleY;
    setup.reach = blastSizeTable[c.ki > 30 ? 3 : c.ki > 20 ? 2 : c.ki > 10 ? 1 : 0].hitDistance;
    setup.aim = shooter.aim;
    setup.facing = shooter.facing;
    setup.chargeFrames = c.ki;
    const AimChoice best = BestAim(setup, forecast, 15);
    ASSERT_TRUE(best.outcome.hits) << c.name;

    // Steer and charge as planned, then let go, and watch for the throw.
    int32_t frame = 0;
    int32_t thrownAt = -1;
    for (; frame <= best.outcome.hitIn + 5 && thrownAt < 0; ++frame) {
        uint8_t keys = 0;
        if (frame < best.releaseIn) {
            keys = SteerAim(shooter.aim, shooter.facing, shooter.turnCooldown, best.aim).controls;
            if (frame >= best.releaseIn - c.ki) {
                keys |= ControlCharge;
            }
        }
        if (c.shooter == 0) {
            StepWorld(keys, targetKeys);
        } else {
            StepWorld(targetKeys, keys);
        }
        if (target.state == StateKnockedBack) {
            thrownAt = frame;
        }
    }
    EXPECT_EQ(thrownAt, best.outcome.hitIn) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Shots, PredictedHitTest,
    ::testing::Values(HitCase{"first, right, still", 0, 1400, 1600, 1, 1700, 1640, -1, 1},
                      HitCase{"second, right, still", 1, 1400, 1600, 1, 1700, 1540, -1, 1},
                      HitCase{"first, left, still, big", 0, 1800, 1600, 0, 1500, 1500, -1, 35},
                      HitCase{"second, turning to the left", 1, 1800, 1600, 1, 1450, 1700, -1, 4},
                      HitCase{"first, crossing target", 0, 1400, 1600, 1, 1650, 1450, 90, 1},
                      HitCase{"second, fleeing target", 1, 1400, 1600, 1, 1650, 1650, 0, 12},
                      HitCase{"first, far still target", 0, 400, 400, 1, 1500, 1300, -1, 1}),
    [](const ::testing::TestParamInfo<HitCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });

}  // namespace
