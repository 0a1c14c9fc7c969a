// The game's global objects. Everything lives for the whole run; nothing is
// created per frame. They are constructed in the order listed here (all are
// defined in game_objects.cpp in this order) and destroyed in reverse, so the
// sound buffers go before the sound device.
#pragma once

#include <cstdint>

#include "engine/display/app_window.h"
#include "engine/display/screen.h"
#include "engine/input/input_device.h"
#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "game/art_layout.h"
#include "game/blast_pool.h"
#include "game/blast_sprite_table.h"
#include "game/fighter.h"
#include "game/ki_blast.h"
#include "game/terrain_field.h"
#include "sprites/rle_sprite.h"

inline constexpr int32_t fighterCount = 2;

extern AppWindow appWindow;
extern Screen screen;
extern InputDevice input;
extern SoundDevice soundDevice;
extern SoundBuffer blastSoundSecond;        // the second fighter's release sound
extern SoundBuffer blastSoundFirst;         // the first fighter's release sound
extern SoundBuffer chargeSoundA;            // two copies of the charge sound, so two
extern SoundBuffer chargeSoundB;            // charges can be heard at once
extern RleSprite dirtTiles[dirtTileCount];  // 8 x 8; cell value v shows tile v - 1
extern RleSprite firstFighterFrames[firstFighterFrameCount];    // 48 x 48
extern RleSprite secondFighterFrames[secondFighterFrameCount];  // 48 x 48
extern RleSprite reticleSprite;                                 // 21 x 21
// 54 x 54 blast images and crater shapes; blastSpriteTable says which is which.
extern RleSprite blastSprites[blastSpriteCount];
extern TerrainField terrain;
extern Fighter fighters[fighterCount];  // 0: first fighter, left view; 1: second
extern KiBlast blasts[blastPoolSize];   // slots 0 .. blastCount - 1 are in flight
extern int32_t blastCount;
extern BlastSpriteTable blastSpriteTable;
