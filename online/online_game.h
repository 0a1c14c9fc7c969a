// The online match in the game's window: the waiting or connecting screen,
// then the split screen of the shared world with the link's corner of the
// panel, then the message the match ended with.
#pragma once

#include "app/game_loop.h"
#include "settings/game_options.h"

// Plays options.online once the window, display, sound, keys and pads are
// set up (StartGame). This player's fighter takes every local key set and pad
// at once. Escape (the window gone) leaves: the match ends on both sides.
// Answers the exit status (online_link.h); the match is recorded.
int RunOnlineGame(const GameOptions& options, LocalDevices& devices);
