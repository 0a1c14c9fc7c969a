// The player's settings that last between runs: window mode, volume and mute,
// and each player's keys, in an INI file under the XDG config folder
// ($XDG_CONFIG_HOME/kivoro/settings.ini, by default ~/.config/kivoro/):
//
//     [window]
//     mode = fullscreen        ; or windowed
//     size = 1200x900          ; the window's size when windowed, in pixels
//     [sound]
//     volume = 100             ; percent, 0..100
//     muted = no               ; yes or no
//     [first player]
//     up = W                   ; keys by their place on the board:
//     charge = Space           ; W, Space, Right Shift, Return, Up ...
//     [second player]
//     ...                      ; up, down, left, right, turn, charge
//
// Reading never trusts the file: a missing file means the defaults, every
// bad line is named once on standard error and the rest is used. Writing
// replaces the file atomically and allocates nothing, so the frame loop can
// do it when the player changes something.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "rules/match_rule.h"
#include "settings/key_bindings.h"

// The sides a window size in the file may have, in pixels.
inline constexpr int32_t minWindowSide = 100;
inline constexpr int32_t maxWindowSide = 16384;

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
    // The last HOST[:PORT] joined from the menu.
    char lastJoin[128] = {};
};

// Larger files are refused whole (the defaults stay).
inline constexpr size_t maxSettingsFileSize = 64 * 1024;
// Room for any path the settings file can have here.
inline constexpr size_t settingsPathSize = 4096;

// Writes the settings file's path into path: $XDG_CONFIG_HOME/kivoro/settings.ini
// when that variable holds an absolute path, else $HOME/.config/kivoro/settings.ini.
// False (and "") when neither is usable or the path would not fit.
bool SettingsFilePath(char* path, size_t size);

// Reads the settings in text (size bytes, not NUL-terminated) over the
// defaults already in settings. Each bad line is reported once on errors as
// "kivoro: NAME:LINE: what is wrong" (name is the file's path); lines that
// are good are used whatever the others say. A binding that gives a key to a
// second control, or to a key the game keeps, is refused with such a line and
// that control keeps its default. Answers the number of lines reported.
int32_t ReadSettingsText(const char* text, size_t size, const char* name, Settings& settings,
                         FILE* errors);

// Reads the file at path the same way; a missing file reads as nothing,
// silently, and one that cannot be read is reported once.
int32_t ReadSettingsFile(const char* path, Settings& settings, FILE* errors);

// The file's text for these settings, NUL-terminated, into buffer. Answers
// its length, or -1 when the buffer is too small.
int32_t FormatSettings(const Settings& settings, char* buffer, size_t size);

// Replaces the file at path with these settings, through a temporary file in
// the same folder that is flushed to the disk and then renamed over it, so
// that a crash leaves the old file or the new one, never a part. The folder
// is made when missing. False when anything fails (the old file then stays).
bool WriteSettingsFile(const char* path, const Settings& settings);
