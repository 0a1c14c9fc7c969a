// The shot solver: blast paths walked frame by frame against a forecast.
#include "ai/shot_solver.h"

#include <cmath>

#include "rules/fighter.h"
#include "rules/world_state.h"

namespace {

// A blast is gone once its centre is this far outside the left or top edge,
// or past the right or bottom edge at all.
constexpr int32_t leaveMargin = 52;

}  // namespace

ShotOutcome TryShot(const ShotSetup& setup, int32_t aim, uint8_t facing,
                    const FighterForecast& target) {
    ShotOutcome outcome;
    const int32_t offset = facing == 1 ? setup.muzzleX : fighterSize - setup.muzzleX;
    const Step v = BlastStep(aim);
    int32_t bx = setup.x + offset;
    int32_t by = setup.y + setup.muzzleY;
    const int32_t right = terrain.width * cellPixels;
    const int32_t bottom = terrain.height * cellPixels;
    const int32_t reachSquared = setup.reach * setup.reach;
    // The first fighter's blast meets the second in its launch frame, before it
    // moves; the second fighter's meets the first only after one move.
    int32_t n = 0;
    if (setup.shooter == 1) {
        n = 1;
        bx += v.x;
        by += v.y;
    }
    for (; setup.releaseIn + n <= forecastFrames; ++n) {
        if (bx < -leaveMargin || by < -leaveMargin || bx > right || by > bottom) {
            break;
        }
        const Step& c = target.centre[setup.releaseIn + n];
        const int32_t ox = c.x - bx;
        const int32_t oy = c.y - by;
        const int32_t squared = ox * ox + oy * oy;
        if (squared < outcome.closest) {
            outcome.closest = squared;
        }
        if (squared < reachSquared) {
            outcome.hits = true;
            outcome.hitIn = setup.releaseIn + n;
            outcome.blastAt = Step{bx, by};
            return outcome;
        }
        bx += v.x;
        by += v.y;
    }
    return outcome;
}

AimChoice BestAim(const ShotSetup& setup, const FighterForecast& target, int32_t spread) {
    AimChoice best;
    const uint8_t facing = setup.facing;
    const int32_t offset = facing == 1 ? setup.muzzleX : fighterSize - setup.muzzleX;
    // The straight line toward where the target is when a blast would get
    // there, roughly: its place after the charge plus the flight time.
    const int32_t launchX = setup.x + offset;
    const int32_t launchY = setup.y + setup.muzzleY;
    int32_t at = setup.chargeFrames;
    for (int32_t pass = 0; pass < 2; ++pass) {
        const Step& c = target.centre[at < forecastFrames ? at : forecastFrames];
        const double dx = c.x - launchX;
        const double dy = c.y - launchY;
        at = setup.chargeFrames + static_cast<int32_t>(std::sqrt(dx * dx + dy * dy)) / blastPixels;
    }
    const Step& aimAt = target.centre[at < forecastFrames ? at : forecastFrames];
    const int32_t straight = NearestAim(DirectionOf(aimAt.x - launchX, aimAt.y - launchY));
    for (int32_t k = 0; k <= spread / 3 * 2; ++k) {
        // 0, +3, -3, +6, -6, ... so ties go to the aim nearest the line.
        const int32_t turn = (k + 1) / 2 * 3 * (k % 2 == 1 ? 1 : -1);
        const int32_t aim = WrapDegrees(straight + turn);
        const uint8_t use = AimInHalf(facing, aim) ? facing : static_cast<uint8_t>(1 - facing);
        const AimSteer steer = SteerAim(setup.aim, facing, setup.turnCooldown, aim);
        ShotSetup at = setup;
        at.releaseIn = steer.frames > setup.chargeFrames ? steer.frames : setup.chargeFrames;
        const ShotOutcome outcome = TryShot(at, aim, use, target);
        const bool better =
            !best.found ||
            (outcome.hits && (!best.outcome.hits || outcome.hitIn < best.outcome.hitIn)) ||
            (!outcome.hits && !best.outcome.hits && outcome.closest < best.outcome.closest);
        if (better) {
            best.found = true;
            best.aim = aim;
            best.facing = use;
            best.steerFrames = steer.frames;
            best.releaseIn = at.releaseIn;
            best.outcome = outcome;
        }
    }
    return best;
}
