// blastSpriteTable: which of the seven blastSprites each blast size is drawn
// with and which one it carves into the terrain while it flies.
#pragma once

#include <cstdint>

#include "rules/blast_size_table.h"

// Indexes into blastSprites, per blast size 0..3.
struct BlastSpriteTable {
    int32_t drawSprite[blastSizeCount];
    int32_t carveSprite[blastSizeCount];
};

// Copies the sizes' entries from blastSizeTable into the global
// blastSpriteTable; the last step of setting up the world.
void FillBlastSpriteTable();
