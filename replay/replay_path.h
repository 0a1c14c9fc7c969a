// Where replays go when the player names no file: the last match is kept as
// last.kvr in the game's replay folder under the user's data folder.
#pragma once

#include <string>

// <data>/kivoro/replays/last.kvr, <data> being xdgDataHome when it is an
// absolute path (the XDG base directory rules ignore a relative one), else
// home/.local/share when home is absolute. Empty when neither gives a folder.
std::string DefaultReplayPath(const char* xdgDataHome, const char* home);

// The same from the environment's XDG_DATA_HOME and HOME.
std::string DefaultReplayPath();

// Creates the folders above path that do not exist yet (as mkdir -p). False,
// with a one-line reason in *problem, when that fails.
bool MakeReplayFolder(const std::string& path, std::string* problem);
