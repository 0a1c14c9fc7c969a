// Reading replay files without trusting them: every length and count checked
// before use, nothing read outside the bytes given, and a one-line reason for
// every file refused or cut short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "replay/replay_format.h"
#include "rules/frame_controls.h"

struct Replay {
    ReplayHeader header;
    std::vector<FrameControls> frames;  // frames[i] is frame i + 1
    // digests[k]: the rules digest after frame (k + 1) * replayDigestEvery.
    std::vector<uint64_t> digests;
    // True when the file holds every frame its header counts and the final
    // digest; finalDigest is the rules digest after the last frame then.
    bool finished = false;
    uint64_t finalDigest = 0;
};

enum ReplayReadStatus : int32_t {
    ReplayReadWhole = 0,     // a finished replay, read entirely
    ReplayReadCutShort = 1,  // readable up to where the file stops; reason says why
    ReplayReadRefused = 2,   // not a replay this build can read; reason says why
};

struct ReplayReadResult {
    ReplayReadStatus status = ReplayReadRefused;
    std::string reason;  // one line, no file name; empty for a whole replay
};

// The largest file LoadReplayFile reads: about three weeks of play.
inline constexpr uint64_t replayLargestFile = uint64_t{256} << 20;

// Whether size bytes at data (a whole file, or its start) begin with a header
// this build reads: the magic, a known version whole, a known pixel layout.
// ReplayReadWhole or ReplayReadRefused with the reason.
ReplayReadResult CheckReplayHeader(const uint8_t* data, size_t size);

// Reads size bytes at data into replay (emptied first). A cut-short replay
// keeps every whole frame and every whole digest before the cut. A file is
// refused for a wrong magic, a format version this build does not read (it
// reads 1 and 2), an unknown pixel layout or bytes after its end. Whether the replay fits this
// build is asked apart (ReplayMismatch), so that other builds' replays can still be printed.
ReplayReadResult ReadReplay(const uint8_t* data, size_t size, Replay& replay);

// ReadReplay of a file's contents; refused when the file cannot be read or is
// larger than replayLargestFile.
ReplayReadResult LoadReplayFile(const std::string& path, Replay& replay);

// Why a replay with this header cannot be played by this build: made by the
// build of the other pixel layout, or with other art than artDigest (this
// game's ArtDigest). Empty when it fits.
std::string ReplayMismatch(const ReplayHeader& header, uint64_t artDigest);
