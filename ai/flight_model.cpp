// Flight and blast velocities from tables built once, and the look-ahead step
// of steering and flight.
#include "ai/flight_model.h"

#include <cmath>
#include <cstdlib>

#include "ai/world_sight.h"
#include "rules/angle.h"
#include "rules/fighter.h"
#include "rules/world_state.h"

namespace {

struct StepTables {
    Step flight[360];
    Step blast[360];
    StepTables() {
        for (int32_t d = 0; d < 360; ++d) {
            const double radians = DegreesToRadians(d);
            flight[d].x = static_cast<int32_t>(flightPixels * std::cos(radians));
            flight[d].y = static_cast<int32_t>(flightPixels * std::sin(radians));
            blast[d].x = static_cast<int32_t>(std::cos(radians) * blastPixels);
            blast[d].y = static_cast<int32_t>(blastPixels * std::sin(radians));
        }
    }
};

const StepTables& Tables() {
    static const StepTables tables;
    return tables;
}

// The aim as a position along the facing's half: facing 1 runs -90 (up)
// through 0 to 90 (down), facing 0 runs 90 (down) through 180 to 270 (up).
int32_t Along(uint8_t facing, int32_t aim) {
    if (facing == 1) {
        return aim > 180 ? aim - 360 : aim;
    }
    return aim;
}

}  // namespace

Step FlightStep(int32_t direction) {
    return Tables().flight[WrapDegrees(direction)];
}

Step BlastStep(int32_t aim) {
    return Tables().blast[WrapDegrees(aim)];
}

int32_t WrapDegrees(int32_t degrees) {
    degrees %= 360;
    return degrees < 0 ? degrees + 360 : degrees;
}

int32_t DegreesBetween(int32_t from, int32_t to) {
    int32_t d = WrapDegrees(to - from);
    return d > 180 ? d - 360 : d;
}

int32_t DirectionOf(int32_t dx, int32_t dy) {
    if (dx == 0 && dy == 0) {
        return 0;
    }
    const double degrees = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 57.29578;
    return WrapDegrees(static_cast<int32_t>(std::lround(degrees)));
}

int32_t NearestAim(int32_t direction) {
    return WrapDegrees((WrapDegrees(direction) + 1) / 3 * 3);
}

bool AimInHalf(uint8_t facing, int32_t aim) {
    aim = WrapDegrees(aim);
    return facing == 1 ? (aim <= 90 || aim >= 270) : (aim >= 90 && aim <= 270);
}

int32_t TurnedAim(int32_t aim) {
    return (aim > 180 || aim < 0) ? 540 - aim : 180 - aim;
}

AimSteer SteerAim(int32_t aim, uint8_t facing, uint8_t turnCooldown, int32_t wanted) {
    AimSteer steer;
    wanted = WrapDegrees(wanted);
    if (!AimInHalf(facing, wanted)) {
        // A turn first; while it cannot come, hold still and count the wait.
        if (turnCooldown > 1) {
            steer.frames = turnCooldown - 1;
            const int32_t after =
                std::abs(Along(1 - facing, wanted) - Along(1 - facing, TurnedAim(aim)));
            steer.frames += (after + 2) / 3;
            return steer;
        }
        steer.controls |= ControlTurn;
        aim = TurnedAim(aim);
        facing = 1 - facing;
    }
    const int32_t from = Along(facing, aim);
    const int32_t to = Along(facing, wanted);
    const int32_t gap = std::abs(to - from);
    steer.frames = (gap + 2) / 3;
    if ((steer.controls & ControlTurn) != 0 && steer.frames == 0) {
        steer.frames = 1;
    }
    if (to == from) {
        return steer;
    }
    // Facing 1: down (ControlDown) runs toward +90; facing 0: down runs toward 90
    // from above, so along-values fall.
    const bool increase = to > from;
    if (facing == 1) {
        steer.controls |= increase ? ControlDown : ControlUp;
    } else {
        steer.controls |= increase ? ControlUp : ControlDown;
    }
    return steer;
}

bool FighterFits(const Sight& sight, int32_t x, int32_t y, bool unseenOpen) {
    const int32_t limitX = terrain.width * cellPixels - fighterSize;
    const int32_t limitY = terrain.height * cellPixels - fighterSize;
    if (x < 0 || y < 0 || x > limitX || y > limitY) {
        return false;
    }
    const int32_t cx = x + fighterSize / 2;
    const int32_t cy = y + fighterSize / 2;
    return unseenOpen ? GuessOpen(sight, cx, cy) : SeenOpen(sight, cx, cy);
}

void StepFlight(FlightSim& sim, uint8_t controls, const Sight& sight) {
    if (sim.moveLock != 0) {
        --sim.moveLock;
    }
    if (sim.turnCooldown != 0) {
        --sim.turnCooldown;
    }
    if ((controls & ControlTurn) != 0 && sim.turnCooldown == 0) {
        sim.facing = 1 - sim.facing;
        sim.aim = TurnedAim(sim.aim);
        sim.turnCooldown = 4;
    }
    sim.aim = SteeredAim(sim.aim, sim.facing, controls);
    // A charge holds the fighter still, and flight keys do nothing while it
    // lasts.
    if ((controls & ControlCharge) != 0) {
        sim.motion = MotionStopped;
        sim.blocked = false;
        return;
    }
    const uint8_t forwardKey = sim.facing == 1 ? ControlRight : ControlLeft;
    const uint8_t backwardKey = sim.facing == 1 ? ControlLeft : ControlRight;
    if ((controls & forwardKey) != 0) {
        if (sim.motion == MotionBackward) {
            sim.motion = MotionStopped;
        } else if (sim.moveLock == 0) {
            sim.motion = MotionForward;
            sim.moveLock = 15;
        }
    } else if ((controls & backwardKey) != 0) {
        if (sim.motion == MotionForward) {
            sim.motion = MotionStopped;
        } else if (sim.moveLock == 0) {
            sim.motion = MotionBackward;
            sim.moveLock = 15;
        }
    }
    sim.blocked = false;
    if (sim.motion == MotionStopped) {
        return;
    }
    const int32_t direction = sim.motion == MotionForward ? sim.aim : sim.aim + 180;
    const Step step = FlightStep(direction);
    if (!FighterFits(sight, sim.x + step.x, sim.y + step.y)) {
        sim.blocked = true;
        return;
    }
    sim.x += step.x;
    sim.y += step.y;
}
