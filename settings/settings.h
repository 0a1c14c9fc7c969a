// Settings: what the player chooses that lasts between runs (window mode and
// size, volume and mute, each player's keys, the menu's match rule and the
// last host joined), as the settings file holds it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/match_rule.h"
#include "settings/key_bindings.h"

// The sides a window size in the file may have, in pixels.
inline constexpr int32_t minWindowSide = 100;
inline constexpr int32_t maxWindowSide = 16384;
// The longest HOST[:PORT] kept as the last host joined.
inline constexpr size_t lastJoinSize = 128;

struct Settings {
    bool windowed = false;
    // The window's client size when windowed, as the player left it; 0 x 0
    // (no size in the file): the game chooses one that fits the desktop.
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    int32_t volume = 100;  // percent, 0..100
    bool muted = false;
    KeyBindings keys = DefaultKeyBindings();
    // A match started from the title menu: first to 5 kills unless chosen.
    MatchRule rule{MatchFirstToKills, defaultKillsToWin};
    // The last HOST[:PORT] joined from the menu; empty before the first.
    char lastJoin[lastJoinSize] = {};
};

// Larger files are refused whole (the defaults stay) and never rewritten.
inline constexpr size_t maxSettingsFileSize = 64 * 1024;
