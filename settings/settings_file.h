// The player's settings file under the XDG config folder
// ($XDG_CONFIG_HOME/kivoro/settings.ini, by default ~/.config/kivoro/):
//
//     [window]
//     mode = fullscreen        ; or windowed
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
// bad line is named once on standard error and the rest is used
// (settings_reader.h). Writing changes only the values that changed, keeping
// every other byte the player wrote (settings_rewrite.h), replaces the file
// atomically and allocates nothing, so the frame loop can do it when the
// player changes something.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "settings/settings.h"
#include "settings/settings_reader.h"

// Room for any path the settings file can have here.
inline constexpr size_t settingsPathSize = 4096;

// Writes the settings file's path into path: $XDG_CONFIG_HOME/kivoro/settings.ini
// when that variable holds an absolute path, else $HOME/.config/kivoro/settings.ini.
// False (and "") when neither is usable or the path would not fit.
bool SettingsFilePath(char* path, size_t size);

// Reads the file at path as ReadSettingsText does; a missing file reads as
// nothing, silently, and one that cannot be read is reported once.
int32_t ReadSettingsFile(const char* path, Settings& settings, FILE* errors);

// A whole settings file for these settings, every value written, as the game
// makes it when there is none: NUL-terminated, into buffer. Answers its
// length, or -1 when the buffer is too small.
int32_t FormatSettings(const Settings& settings, char* buffer, size_t size);

// Saves these settings at path. A missing file is made whole (FormatSettings,
// and the folder when missing); an existing one is rewritten with only the
// values that differ from what it says changed (RewriteSettingsText). Either
// way through a temporary file in the same folder, flushed to the disk and
// renamed over it, so that a crash leaves the old file or the new one, never
// a part; the file keeps its permissions, and a symbolic link at path keeps
// pointing where it did (the file it names is the one replaced). False, the
// file untouched, when anything fails, and when the file cannot be read,
// is no regular file, is larger than maxSettingsFileSize or would become so.
bool WriteSettingsFile(const char* path, const Settings& settings);
