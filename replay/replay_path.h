// Where replays go when the player names no file: the game's replay folder
// under the user's data folder, each match kept there under a name from its
// start time, and last.kvr naming the newest for the tools.
#pragma once

#include <cstdint>
#include <string>

// <data>/kivoro/replays, <data> being xdgDataHome when it is an absolute path
// (the XDG base directory rules ignore a relative one), else
// home/.local/share when home is absolute. Empty when neither gives a folder.
std::string ReplayFolder(const char* xdgDataHome, const char* home);
// The same from the environment's XDG_DATA_HOME and HOME.
std::string ReplayFolder();

// The replay folder's last.kvr; empty when there is no folder.
inline constexpr const char* lastReplayName = "last.kvr";
std::string DefaultReplayPath(const char* xdgDataHome, const char* home);
std::string DefaultReplayPath();

// Creates the folders above path that do not exist yet (as mkdir -p). False,
// with a one-line reason in *problem, when that fails.
bool MakeReplayFolder(const std::string& path, std::string* problem);

// The name a kept replay takes from its start time (seconds since 1970 UTC)
// in the local time of then (utcOffsetMinutes ahead of UTC):
// "2026-12-08_17-03-22.kvr".
std::string KeptReplayName(int64_t utcSeconds, int32_t utcOffsetMinutes);

// Whether name is one the game gives kept replays: a start time as above,
// "-N" before ".kvr" when two matches started in the same second, or the
// unfinished file of one (".PID.part", ".PID-N.part" after it). Replays the
// player renamed are no longer the game's to delete.
bool IsKeptReplayName(const std::string& name);

// Renames from to the path to, or when a file has that name, to the first of
// to with "-2", "-3" ... before its extension that none has; never replaces a
// file, even against another program doing the same at once. to is then the
// name taken. False, errno set, when the rename fails otherwise.
bool RenameToFreeName(const std::string& from, std::string& to);

// The local time's offset from UTC, in minutes, at the moment utcSeconds.
int32_t LocalUtcOffsetMinutes(int64_t utcSeconds);
