// The program's platform objects: the window, the screen, the input and sound
// devices, the four sound buffers and the sprites only drawing uses. Each
// lives for the whole run; they are constructed in the order listed here (all
// defined in platform_objects.cpp in this order) and destroyed in reverse, so
// the sound buffers go before the sound device. The world the rules read is
// in rules/world_state.h.
#pragma once

#include "engine/display/app_window.h"
#include "engine/display/screen.h"
#include "engine/input/input_device.h"
#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "rules/art_layout.h"
#include "rules/world_state.h"
#include "sprites/rle_sprite.h"

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
