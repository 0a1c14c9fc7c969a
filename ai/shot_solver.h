// Aiming a blast: for an aim, where the blast flies frame by frame and
// whether it meets the other fighter's forecast course within reach, with the
// rules' own order of a frame (who is tested first, when a blast moves).
#pragma once

#include <cstdint>

#include "ai/target_forecast.h"

struct ShotSetup {
    int32_t shooter = 0;  // fighter index of the one releasing
    int32_t x = 0;        // its top-left at the release (it holds still while charging)
    int32_t y = 0;
    int32_t muzzleX = 0;  // launch point inside the unmirrored sprite
    int32_t muzzleY = 0;
    int32_t releaseIn = 0;  // frames from now until the frame of the release
    int32_t reach = 0;      // the blast's hit distance
    // For BestAim: the shooter's aim keys now, and the frames of charge the
    // shot needs. An aim that takes longer to reach than the charge puts the
    // release off until it is reached.
    int32_t aim = 0;
    uint8_t facing = 1;
    uint8_t turnCooldown = 0;
    int32_t chargeFrames = 0;
};

struct ShotOutcome {
    bool hits = false;
    int32_t hitIn = 0;          // frames from now to the hit
    int32_t closest = 1 << 30;  // squared distance of the nearest pass
    Step blastAt;               // the blast's centre when it hits
};

// The blast released along aim (facing decides the launch point).
ShotOutcome TryShot(const ShotSetup& setup, int32_t aim, uint8_t facing,
                    const FighterForecast& target);

struct AimChoice {
    bool found = false;
    int32_t aim = 0;
    uint8_t facing = 1;
    int32_t steerFrames = 0;  // to bring the aim there
    int32_t releaseIn = 0;    // frames until the release
    ShotOutcome outcome;
};

// The aim, among those within `spread` degrees of the straight line to the
// forecast target, whose blast hits soonest counting the frames to steer
// there; with no hit, the one passing nearest. At 90 and 270, which both
// facings hold, the shooter's own facing is kept.
AimChoice BestAim(const ShotSetup& setup, const FighterForecast& target, int32_t spread);
