// The harness's scripted play: 3000 frames of flying, aiming, turning,
// charging, releasing, hits, crashes, deaths and respawns, written against the
// rules by hand. The harness pins its digests; online play re-runs it.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/fighter.h"
#include "rules/headless_world.h"

// Both players fly, turn and aim about, and charge and release again and
// again, at different rhythms: blasts fly, dig, hit, and fighters die and
// respawn with new craters over a long run.
inline uint8_t FightingControls(int32_t player, int32_t frame) {
    const int32_t phase = frame + player * 23;
    uint8_t controls = 0;
    if (phase % (50 + player * 17) < 35) {
        controls |= ControlCharge;
    }
    controls |= (phase / 40) % 2 == 0 ? ControlUp : ControlDown;
    controls |= (phase / 90) % 3 == 0 ? ControlLeft : (phase / 90) % 3 == 1 ? ControlRight : 0;
    if (phase % 211 == 0) {
        controls |= ControlTurn;
    }
    return controls;
}

struct HarnessSegment {
    int frames;
    uint8_t first;
    uint8_t second;
};

inline std::vector<FrameControls> BuildHarnessScript() {
    const HarnessSegment segments[] = {
        // The first fighter aims 6 degrees down at the second and digs a tunnel
        // with a 40-ki blast that passes above it; the second aims straight up.
        {2, ControlDown, ControlUp},
        {28, 0, ControlUp},
        {40, ControlCharge, 0},
        {1, 0, 0},
        {180, 0, 0},
        // The second flies up into the tunnel and stops there.
        {1, 0, ControlRight},
        {13, 0, 0},
        {1, 0, ControlLeft},
        // A full charge along the same line hits it; it is thrown down the tunnel.
        {110, ControlCharge, 0},
        // It turns, aims back and charges, cutting its throw short, then releases.
        {150, 0, 0},
        {1, 0, ControlTurn},
        {27, 0, ControlDown},
        {101, 0, ControlCharge},
        {200, 0, 0},
        // The first drops into that blast's tunnel; the second's next blast hits it
        // and it crashes into the field's left edge.
        {28, ControlDown, 0},
        {1, ControlRight, 0},
        {14, 0, 0},
        {1, ControlLeft, 0},
        {31, 0, ControlCharge},
        {300, 0, 0},
        // The second spends its last health on two releases and dies of the fall.
        {101, 0, ControlCharge},
        {101, 0, 0},
        {25, 0, ControlCharge},
        {200, 0, 0},
    };
    std::vector<FrameControls> script;
    for (const HarnessSegment& s : segments) {
        for (int k = 0; k < s.frames; ++k) {
            script.push_back({s.first, s.second});
        }
    }
    // Then both wander through a cycle of moves, 23 frames each, until the first
    // fighter's releases kill it too.
    const uint8_t moves[] = {ControlRight,
                             ControlUp | ControlRight,
                             ControlCharge,
                             ControlDown,
                             ControlLeft,
                             ControlTurn,
                             0,
                             ControlDown | ControlLeft,
                             ControlCharge | ControlUp,
                             ControlRight | ControlDown,
                             ControlTurn | ControlUp};
    for (int k = 0; k < 1400; ++k) {
        const int phase = k / 23;
        script.push_back({moves[(phase * 5) % 11], moves[(phase * 7 + 3) % 11]});
    }
    return script;
}
