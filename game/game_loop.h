// The game's spine: the entry routine's start sequence, the window procedure
// through which Escape ends the game, and the frame loop.
#pragma once

#include <cstdint>

#include "engine/display/window_handle.h"

// The control byte of player 0 (first fighter) or 1 (second fighter) from the
// key state array: a key counts as held when its entry is non-zero.
uint8_t ControlsFromKeys(const uint8_t* keys, int32_t player);

// Records every message in the AppWindow and destroys the window on Escape.
intptr_t GameWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Sets up the world, then runs frames until the window is gone. Answers the
// last PumpMessage result, which is false.
bool RunGame();

// The whole program: window, cursor, display, sound, keyboard, then RunGame.
// Answers the process's exit status: 0 after a normal end, 1 (with a message on
// standard error) when there is no display to play on.
int StartGame();
