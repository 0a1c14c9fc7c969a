// The blast pool: hit search, constant-time removal and flight with carving.
#include "rules/blast_pool.h"

#include <cmath>

#include "rules/world_state.h"

int32_t BlastHitDistance(int32_t size) {
    if (size < 0 || size >= blastSizeCount) {
        return 0;
    }
    return blastSizeTable[size].hitDistance;
}

int32_t FindHittingBlast(int32_t fx, int32_t fy, uint8_t firstPlayer) {
    const int32_t cx = fx + fighterSize / 2;
    const int32_t cy = fy + fighterSize / 2;
    // shooter is 0 for the first fighter's blasts while its firstPlayer is 1, so
    // the blasts that can hit a fighter are those whose shooter equals its
    // firstPlayer.
    int32_t result = -1;
    for (int32_t i = 0; i < blastCount; ++i) {
        const KiBlast& blast = blasts[i];
        // Positions stay within a few thousand pixels of the field, so the squares
        // fit a 32-bit sum with room to spare.
        const int32_t ox = cx - blast.x;
        const int32_t oy = cy - blast.y;
        const auto distance =
            static_cast<int32_t>(std::sqrt(static_cast<double>(ox * ox + oy * oy)));
        if (distance < BlastHitDistance(blast.size) && blast.shooter == firstPlayer) {
            result = i;
        }
    }
    return result;
}

void RemoveBlast(int32_t i) {
    if (i < 0 || i >= blastCount) {
        return;
    }
    --blastCount;
    blasts[i] = blasts[blastCount];
}

void AdvanceBlasts() {
    for (int32_t i = 0; i < blastCount; ++i) {
        KiBlast& blast = blasts[i];
        if (blast.Advance()) {
            RemoveBlast(i);
            continue;
        }
        const int32_t size = blast.size < blastSizeCount ? blast.size : blastSizeCount - 1;
        terrain.Carve(blast.x / cellPixels, blast.y / cellPixels,
                      blastSprites[blastSpriteTable.carveSprite[size]]);
    }
}
