// The replays the game keeps of every match in the replay folder: how many,
// which are too short to keep, the oldest deleted past the limit, and
// last.kvr made the newest of them for the tools.
#pragma once

#include <cstdint>
#include <string>

// The folder keeps the last hundred matches.
inline constexpr int32_t keptReplayLimit = 100;
// A match shorter than ten seconds is not kept.
inline constexpr uint32_t keptShortestFrames = 600;

// Deletes the oldest replays the game named (IsKeptReplayName) in folder
// while more than keep are left, the unfinished files of crashed games
// counted and deleted like the others; the file a running game is writing
// counts but is never deleted. Replays the player renamed or put there are
// neither counted nor deleted. Answers how many were deleted.
int32_t PruneKeptReplays(const std::string& folder, int32_t keep);

// Makes folder/last.kvr the replay at path (a hard link, so that last.kvr
// stays readable whatever happens to the other name; a copy on a file system
// without them), replacing the old one in one step. False when neither could
// be made; the old last.kvr then stays.
bool PointLastReplayAt(const std::string& folder, const std::string& path);

// A last.kvr written before matches were kept (format version 1, all the game
// wrote then) holds the last match of that time and nothing else does: it is
// kept under a name from its modification time, as if it had been kept then.
void KeepOldLastReplay(const std::string& folder);
