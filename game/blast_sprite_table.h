// blastSpriteTable: which of the seven blastSprites each blast size is drawn
// with and which one it carves into the terrain while it flies.
#pragma once

#include <cstdint>

inline constexpr int32_t blastSizeCount = 4;

// Indexes into blastSprites, per blast size 0..3. The shapes overlap by one:
// entry 3 is both the image of the smallest blast and the tunnel of the largest,
// so each blast digs a tunnel a little narrower than it looks.
struct BlastSpriteTable {
    int32_t drawSprite[blastSizeCount];
    int32_t carveSprite[blastSizeCount];
};

// Writes the sizes' entries into the global blastSpriteTable; the last step of
// setting up the world.
void FillBlastSpriteTable();
