// The frame loop of `kivoro --replay`: the game's loop with the players' keys
// and pads left unread, the playback in place of the rules.
#pragma once

#include <cstdint>

#include "engine/display/window_handle.h"
#include "app/play_state.h"
#include "app/replay_playback.h"

// The window procedure during playback: records every message in the
// AppWindow, destroys the window on Escape and collects the playback's
// commands (ReplayCommandsFromMessage) for the next frame.
intptr_t ReplayWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Starts the playback, then shows one playback frame per pass until the
// window is gone. actOnChanges is given every frame's PlayChange bits (the
// window mode and the settings file are the game's). While the window is
// inactive nothing is stepped; a focus away for a quarter of a second
// pauses, as in the game.
void RunReplay(ReplayPlayback& playback, PlayState& state, void (*actOnChanges)(uint32_t));
