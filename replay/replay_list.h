// The replays of a folder as the list of replays shows them: each one's date
// and time, length, final kills and kind of match, newest first, read from
// the header and the file's size alone, never its frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "replay/replay_format.h"

enum ReplayListState : int32_t {
    ReplayListFinished = 0,    // every frame and the final digest are there
    ReplayListCutShort = 1,    // finished, but the file stops early (a full disk, a part copy)
    ReplayListUnfinished = 2,  // left behind by a game that crashed or was killed
    ReplayListRecording = 3,   // a running game is writing it now
    ReplayListUnreadable = 4,  // no replay this build reads; reason says why
};

// What a file's header and size say of it.
struct ReplaySummary {
    ReplayListState state = ReplayListUnreadable;
    std::string reason;  // one line, as the replay reader words it; empty when finished
    ReplayHeader header;
    // The header's frame count when finished; else the whole frames the file
    // holds, as the replay reader would take them.
    uint32_t frames = 0;
};

// Sums up a file of fileSize bytes from its first headSize bytes (the header:
// replayHeaderSize of them, or the whole file when shorter). An unfinished
// file is ReplayListUnfinished here; only the file itself can tell whether it
// is being written (ReplayFileInUse).
ReplaySummary SummarizeReplay(const uint8_t* head, size_t headSize, uint64_t fileSize);

struct ReplayListEntry {
    std::string path;
    std::string name;  // the file's name in the folder
    ReplaySummary summary;
    // When the match started, seconds since 1970 UTC, and the offset of the
    // local time it is shown in: the header's; for a file that has none
    // (version 1), its modification time in the local time of then.
    int64_t startTime = 0;
    int32_t utcOffsetMinutes = 0;
    bool timeFromFile = false;
    bool keptByGame = false;  // named by the game (IsKeptReplayName): pruned with the others
};

// Every replay file in folder: names ending in ".kvr" and the ".part" files
// of unfinished ones, but not last.kvr (the newest again, for the tools).
// Newest first: by start time, then the later of two names from one second.
// Empty when the folder cannot be read. A file that cannot be opened or read
// is listed as unreadable, with the reason.
std::vector<ReplayListEntry> ReadReplayList(const std::string& folder);

// The entry of the one file at path, as the list would give it; false when
// it is no regular file (or none: then the entry says why, unreadable).
bool ReadReplayEntry(const std::string& path, ReplayListEntry& entry);

// Whether a running game holds the file at path open for writing (the
// replay writer's lock); false for a file left behind, or none.
bool ReplayFileInUse(const std::string& path);

// The entry's start, "2026-12-08 17:03:22", in the local time it keeps.
std::string ReplayStartText(const ReplayListEntry& entry);
// A length of frames as minutes and seconds, "4:05" (60 frames a second).
std::string ReplayLengthText(uint32_t frames);
// The final kills, "3-5" (the first player's, the second's); "?" unknown.
std::string ReplayKillsText(const ReplayHeader& header);
// The kind of match: "local", "against the computer (level 2)", "online
// against Mira (played here as the second player)", "?" for unknown. Bytes
// of the name that are control characters show as '?'.
std::string ReplayMatchText(const ReplayHeader& header);
// "finished", "cut short", "unfinished", "recording", "unreadable".
const char* ReplayStateName(ReplayListState state);
