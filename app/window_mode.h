// The game's two window modes: covering the display (the design's full
// screen) and a window of its own, switched at any time without touching the
// world, the surfaces or the keys; the window's size, which the player may
// change, and its icon.
#pragma once

#include <cstdint>

#include "engine/display/desktop.h"

// The window of its own. With no size of the player's (0 x 0), its client
// area is the largest multiple of the picture in steps of one half (1x,
// 1.5x, 2x ...; at least one half) that fits the usable area. A size of the
// player's is kept, cut to the usable area. Either way centred in it.
DisplayArea OwnWindowArea(const DisplayArea& usable, int32_t pictureWidth, int32_t pictureHeight,
                          int32_t width = 0, int32_t height = 0);

// The size the window of its own has when it is shown next: the settings'
// at start, then the player's as they resize it. 0 x 0: chosen by
// OwnWindowArea.
void SetOwnWindowSize(int32_t width, int32_t height);
// Takes the window's new client size from a WM_SIZE message (lParam: width
// in the low 16 bits, height in the next 16) while in a window of its own;
// true when that is a size to remember (the settings' [window] size).
bool NoteOwnWindowSize(bool windowed, intptr_t lParam, int32_t* width, int32_t* height);

// Gives the game's window (appWindow) the game's icon, from the generated
// art beside the other data; false (the desktop's default icon stays) when
// the file cannot be read.
bool ShowGameIcon();

// Puts the game's window (appWindow, screen) into a mode: framed, resizable
// and placed by OwnWindowArea at the size last set, or borderless over the
// whole display. The mouse is let go in a window of its own (the game does
// not use it) and taken again covering the display. Answers the Screen's
// result.
int ShowWindowed(bool windowed);
