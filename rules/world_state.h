// The world the rules read and write: the terrain, both fighters, the blasts in
// flight and the shapes they carve. Everything lives for the whole run and
// nothing is created per frame; a match starts by clearing these (ClearWorld)
// and building the starting field. No window, screen, input or sound here:
// the rules run the same headless as in the game.
#pragma once

#include <cstdint>

#include "rules/art_layout.h"
#include "rules/blast_pool.h"
#include "rules/blast_sprite_table.h"
#include "rules/fighter.h"
#include "rules/frame_events.h"
#include "rules/ki_blast.h"
#include "rules/terrain_field.h"
#include "sprites/rle_sprite.h"

inline constexpr int32_t fighterCount = 2;

// 54 x 54 blast images and crater shapes; blastSpriteTable says which is which.
// The rules carve with them; the views draw them too.
extern RleSprite blastSprites[blastSpriteCount];
extern TerrainField terrain;
extern Fighter fighters[fighterCount];  // 0: first fighter, left view; 1: second
extern KiBlast blasts[blastPoolSize];   // slots 0 .. blastCount - 1 are in flight
extern int32_t blastCount;
extern BlastSpriteTable blastSpriteTable;
// What the last StepWorld made heard (frame_events.h).
extern FrameEvents frameEvents;
