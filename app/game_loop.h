// The game's spine: the entry routine's start sequence, the window procedure
// through which Escape ends the game, and the frame loop.
#pragma once

#include <cstdint>
#include <string>

#include "engine/display/window_handle.h"

class GamePadSet;
class PlayerInput;
class PlayState;
struct GameOptions;

// Where the local player's keys and pads are read, for an online match, and
// the comforts that still work there: mute, volume and the window mode (a
// match cannot pause or wait for the help, the other side plays on).
// comforts applies the frame's comfort keys and answers the PlayChange bits;
// play holds the volume note to draw.
struct LocalDevices {
    GamePadSet& pads;
    PlayerInput& input;
    PlayState& play;
    uint32_t (*comforts)();
};

// Online play is built above the game library: the program hands its two
// entries in. headless runs before any window or sound is made; windowed
// runs in place of RunGame once they are. Each answers the exit status.
struct OnlineEntry {
    int (*headless)(const GameOptions& options);
    int (*windowed)(const GameOptions& options, LocalDevices& devices);
};

// Records every message in the AppWindow, destroys the window on Escape and
// collects the commands of the comfort keys for the next frame.
intptr_t GameWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Sets up the world, then runs frames until the window is gone, recording
// the match into recordPath (empty: the default last.kvr) and completing the
// replay at the end. Answers the last PumpMessage result, which is false.
bool RunGame(const std::string& recordPath);

// The whole program: the command line and the settings file, then window,
// cursor, display, sound, keyboard and pads, then RunGame, RunReplay for
// --replay, or the online entries for --host and --join (without them,
// online options are refused). Answers the process's exit status: 0 after a
// normal end (and after --help or --version), 2 for a command line it cannot
// read, 1 (with a message on standard error) when there is no display to play
// on or the replay cannot be played; online, the entries' own statuses.
int StartGame(int argc, const char* const* argv, const OnlineEntry* online = nullptr);
