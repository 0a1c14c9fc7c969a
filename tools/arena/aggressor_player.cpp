// The aggressor: face, aim, close in, charge, release.
#include "tools/arena/aggressor_player.h"

#include <cmath>

#include "rules/world_state.h"

namespace {

// Nearer than this (centre to centre) it stops and charges.
constexpr int32_t closeEnough = 260;
// The charges it picks from for a blast at the other fighter.
constexpr int32_t bigCharges[] = {40, 30, 60, 45, 35, 50};

int32_t Wrap(int32_t degrees) {
    degrees %= 360;
    return degrees < 0 ? degrees + 360 : degrees;
}

// The aim as a position along the facing's half, so steering is a comparison:
// facing 1 runs -90 (up) .. 90 (down), facing 0 runs 90 (down) .. 270 (up).
int32_t Along(uint8_t facing, int32_t aim) {
    return facing == 1 && aim > 180 ? aim - 360 : aim;
}

}  // namespace

AggressorPlayer::AggressorPlayer(int32_t fighterIndex, uint64_t seed)
    : self(fighterIndex == 1 ? 1 : 0), other(fighterIndex == 1 ? 0 : 1), state(seed) {}

uint8_t AggressorPlayer::Controls(int32_t) {
    const Fighter& me = fighters[self];
    const Fighter& them = fighters[other];
    if (me.health <= 0 || me.recoilTimer != 0) {
        return 0;
    }
    const double dx = (them.x - me.x);
    const double dy = (them.y - me.y);
    const auto distance = static_cast<int32_t>(std::sqrt(dx * dx + dy * dy));
    const int32_t toward = Wrap(static_cast<int32_t>(std::lround(std::atan2(dy, dx) * 57.29578)));
    const int32_t wantedAim = Wrap((toward + 1) / 3 * 3);

    uint8_t controls = 0;
    uint8_t facing = me.facing;
    int32_t aim = me.aim;
    const uint8_t wantedFacing = dx >= 0 ? 1 : 0;
    if (facing != wantedFacing && me.turnCooldown == 0) {
        controls |= ControlTurn;
        facing = wantedFacing;
        aim = (aim > 180 || aim < 0) ? 540 - aim : 180 - aim;
    }
    int32_t error = 0;
    if (facing == wantedFacing) {
        const int32_t from = Along(facing, aim);
        const int32_t to = Along(facing, wantedAim);
        error = to - from;
        if (error != 0) {
            const bool increase = error > 0;
            controls |= (facing == 1) == increase ? ControlDown : ControlUp;
        }
    } else {
        error = 180;
    }
    const bool aimed = error >= -3 && error <= 3;
    // The most it may release and live: ki / 5 must stay below its health.
    const int32_t mostKi = me.health * 5 - 1 < 99 ? me.health * 5 - 1 : 99;

    // A charge kept from before a hit may have grown too costly for the
    // health left: it is never taken up again.
    const bool mayCharge = me.ki + 1 <= mostKi;
    if (me.state == StateCharging) {
        if (me.ki >= mostKi) {
            return controls;  // let go now, while it is still safe
        }
        if (me.ki >= chargeGoal && aimed) {
            return controls;
        }
        return static_cast<uint8_t>(controls | ControlCharge);
    }
    if (distance > closeEnough) {
        // Dirt ahead: a small free blast digs the way; otherwise fly at it.
        const double radians = me.aim * 0.017453294444444444;
        const int32_t aheadX = me.x + 24 + static_cast<int32_t>(24 * std::cos(radians));
        const int32_t aheadY = me.y + 24 + static_cast<int32_t>(24 * std::sin(radians));
        bool dirt = true;
        if (aheadX >= 0 && aheadY >= 0 && aheadX < terrain.width * cellPixels &&
            aheadY < terrain.height * cellPixels) {
            dirt = terrain.cells[(aheadY / cellPixels) * terrain.width + aheadX / cellPixels] != 0;
        }
        if (dirt && aimed && mayCharge) {
            chargeGoal = 3;
            return static_cast<uint8_t>(controls | ControlCharge);
        }
        const uint8_t forward = facing == 1 ? ControlRight : ControlLeft;
        if (me.motion == MotionStopped && aimed && me.moveLock == 0) {
            controls |= forward;
        }
        return controls;
    }
    if (me.motion != MotionStopped) {
        // Halt: the key opposite the flight.
        const uint8_t forward = facing == 1 ? ControlRight : ControlLeft;
        const uint8_t backward = facing == 1 ? ControlLeft : ControlRight;
        return static_cast<uint8_t>(controls | (me.motion == MotionForward ? backward : forward));
    }
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    chargeGoal = bigCharges[(state >> 33) % (sizeof bigCharges / sizeof bigCharges[0])];
    if (chargeGoal > mostKi) {
        chargeGoal = mostKi;
    }
    if (!mayCharge || chargeGoal < 1) {
        return controls;
    }
    return static_cast<uint8_t>(controls | ControlCharge);
}
