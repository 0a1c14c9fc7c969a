// The game's two window modes: covering the display (the design's full
// screen) and a window of its own, switched at any time without touching the
// world, the surfaces or the keys.
#pragma once

#include <cstdint>

#include "engine/display/desktop.h"

// The window of its own: its client area the largest whole multiple of the
// picture that fits the usable area (at least 1x), centred in it.
DisplayArea OwnWindowArea(const DisplayArea& usable, int32_t pictureWidth, int32_t pictureHeight);

// Puts the game's window (appWindow, screen) into a mode: framed and placed by
// OwnWindowArea, or borderless over the whole display. The mouse is let go
// in a window of its own (the game does not use it) and taken again covering
// the display. Answers the Screen's result.
int ShowWindowed(bool windowed);
