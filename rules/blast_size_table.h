// blastSizeTable: everything that depends on a blast's size, one row per size
// 0..3: the picture drawn in flight, the shape carved along its path, how close
// it must pass to hit and how long its hit stuns.
#pragma once

#include <cstdint>

#include "rules/art_layout.h"

inline constexpr int32_t blastSizeCount = 4;

// A blast hits a fighter whose centre is nearer than the blast picture's radius
// plus this much of the fighter.
inline constexpr int32_t fighterHitMargin = 15;

struct BlastSizeFacts {
    int32_t drawSprite;   // blastSprites entry drawn in flight
    int32_t carveSprite;  // blastSprites entry carved into the terrain while it flies
    int32_t hitDistance;  // centre distance below which it hits the other fighter
    int32_t stunFrames;   // frames a hit keeps that fighter knocked back
};

// The shapes overlap by one: entry 3 is both the picture of the smallest blast
// and the tunnel of the largest, so each blast digs a tunnel a little narrower
// than it looks.
inline constexpr BlastSizeFacts blastSizeTable[blastSizeCount] = {
    {3, 0, blastShapeRadius[3] + fighterHitMargin, 25},
    {4, 1, blastShapeRadius[4] + fighterHitMargin, 50},
    {5, 2, blastShapeRadius[5] + fighterHitMargin, 75},
    {6, 3, blastShapeRadius[6] + fighterHitMargin, 100},
};
