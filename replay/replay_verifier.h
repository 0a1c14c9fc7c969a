// Verifying a replay: playing its frames through the rules and comparing the
// world with every rules digest the file keeps.
#pragma once

#include <cstdint>

#include "replay/replay_reader.h"

struct ReplayCheck {
    uint32_t framesRun = 0;
    int32_t digestsChecked = 0;  // the final digest included
    bool diverged = false;       // a digest differed
    uint32_t divergedAfter = 0;  // the frame after which the first one did

    uint64_t expectedDigest = 0;  // the replay's digest there
    uint64_t actualDigest = 0;    // the world's

    // A finished replay whose header gives the final kills: whether the world
    // after its last frame has others, and the world's (first, second player).
    bool killsDiffer = false;
    uint32_t worldKills[2] = {0, 0};
};

// Steps the world through every frame of the replay from where it stands
// (set it up first: SetUpRulesWorld), comparing DigestRules with each digest
// the replay holds, the final one too when it is finished, and then the kills
// its header gives with the fighters' deaths. Runs to the last frame even
// after a mismatch, so the world ends where the replay does.
ReplayCheck VerifyReplay(const Replay& replay);
