// ReplayWriter: records a match into a replay file as it is played, so that a
// crash loses at most the last half second, and completes the file and moves
// it into place atomically when the match ends normally.
#pragma once

#include <cstdint>
#include <string>

#include "replay/replay_format.h"

// Use, from the game's frame loop (once per world frame) or from online play
// (once per confirmed frame, in order, possibly long after it was first
// simulated):
//
//     writer.Open(path, ArtDigest());          // after the world is set up
//     writer.RecordFrame(first, second, digestFn);
//     writer.Finish(DigestRules());            // the world after the last frame
//
// The writer never looks at the world. RecordFrame calls digestFn, a callable
// answering the rules digest (DigestRules) of the world after the frame just
// recorded, only on frames whose digest the file keeps (every
// replayDigestEvery-th): the local game passes DigestRules itself, online play
// a lambda answering the digest it saved for that confirmed frame.
//
// Until Finish, the file is written under a temporary name in the same folder
// (PartPath: the path, a dot, the process id and ".part"; "-2", "-3" ... after
// the process id when that name is taken, so an old file is never
// overwritten), its header marked unfinished; the bytes go out every
// flushEvery frames. While the writer has it open it holds an exclusive
// flock(2) on it, so other programs can tell a file being written from one
// left behind (ReplayFileInUse). Finish writes the frame count, the kills and
// the final digest, syncs the file to disk and renames it to the path,
// replacing any earlier file there in one step (FinishUnderNewName takes the
// first free name instead). A writer dropped without Finish (or a game that
// crashes) leaves the unfinished file under PartPath, readable up to its last
// flush.
//
// Nothing is allocated while recording: the pending bytes wait in a fixed
// buffer inside the object. A failure to write stops the recording (the game
// plays on); Problem then says what failed.
class ReplayWriter {
public:
    // Half a second at the game's 60 frames per second, so even a game slowed
    // to 30 frames per second loses at most a second of a match to a crash.
    static constexpr int32_t flushEvery = 30;

    ReplayWriter() = default;
    ReplayWriter(const ReplayWriter&) = delete;
    ReplayWriter& operator=(const ReplayWriter&) = delete;
    // Writes out what is pending and closes the file, leaving it unfinished.
    virtual ~ReplayWriter();

    // Starts a recording bound for path (its folder must exist): creates the
    // temporary file and writes the header, this one with the frame count and
    // the kills unknown. A recording still open is left unfinished first.
    // False, with Problem set, when the file cannot be made.
    bool Open(const std::string& path, const ReplayHeader& header);
    // The same with a header of this build that says nothing of the match
    // (its kind unknown, no start time), as a replay made from a script has.
    bool Open(const std::string& path, uint64_t artDigest);

    // Puts the other side's name and the match's rule in the header now (an
    // online match learns them once both sides have met), so that an
    // unfinished file keeps them too.
    bool NameOtherSide(const char* name, const MatchRule& rule);
    // The kills Finish writes in the header (each player's).
    void SetFinalKills(uint32_t first, uint32_t second);

    // Records one frame's control bytes (first player, second player).
    template <typename DigestFn>
    void RecordFrame(uint8_t first, uint8_t second, DigestFn&& rulesDigest) {
        if (AppendFrame(first, second)) {
            AppendDigest(rulesDigest());
        }
        if (framesSinceFlush >= flushEvery) {
            Flush();
        }
    }

    // Completes the file with the final rules digest and moves it to the path.
    // True when the finished replay is in place; false (Problem set, the
    // unfinished file left under PartPath) otherwise or when nothing is open.
    bool Finish(uint64_t finalRulesDigest);
    // The same, but the file takes the first name not yet taken of the path,
    // then the path with "-2", "-3" ... before its extension, so that two
    // games ending at once both keep theirs; Path then answers which.
    bool FinishUnderNewName(uint64_t finalRulesDigest);
    // Stops recording and removes the file.
    void Abandon();

    // Writes out the pending bytes now. False when not recording or on failure.
    bool Flush();

    bool Recording() const { return fd >= 0; }
    const ReplayHeader& Header() const { return header; }
    uint32_t FrameCount() const { return frames; }
    const std::string& Path() const { return path; }
    const std::string& PartPath() const { return partPath; }
    // One line on the failure that stopped the recording; empty when none.
    std::string Problem() const;

private:
    // Writes out the pending bytes, the header with the frame count and the
    // kills, then the final digest, and syncs the file.
    bool Complete(uint64_t finalRulesDigest);
    // Answers true when the frame just appended is followed by a digest.
    bool AppendFrame(uint8_t first, uint8_t second);
    void AppendDigest(uint64_t rulesDigest);
    bool WriteAll(const uint8_t* bytes, size_t size);
    void Fail(const char* step, int error);
    void Close();

    int fd = -1;
    uint32_t frames = 0;
    int32_t framesSinceFlush = 0;
    // Between two flushes: flushEvery frames and at most one digest.
    uint8_t pending[2 * flushEvery + 8];
    int32_t pendingSize = 0;
    ReplayHeader header;
    std::string path;
    std::string partPath;
    const char* failedStep = nullptr;  // "create", "write", ... for Problem
    int failedError = 0;               // its errno
};
