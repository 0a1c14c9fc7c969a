// MatchRecorder: records every match as a replay. The player may name the
// file (--record FILE), which is then written as asked and always kept;
// otherwise the match is kept in the replay folder under a name from its
// start time (kept_replays.h: the last hundred, none under ten seconds), and
// last.kvr there made the newest. A recording that cannot be made or goes
// wrong is reported once on the error stream and the match plays on
// unrecorded: a replay is never worth stopping a game for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "replay/replay_format.h"
#include "replay/replay_writer.h"

class MatchRecorder {
public:
    // Seconds since 1970 UTC.
    using Clock = int64_t (*)();

    MatchRecorder() = default;
    MatchRecorder(const MatchRecorder&) = delete;
    MatchRecorder& operator=(const MatchRecorder&) = delete;
    virtual ~MatchRecorder() = default;

    // Starts recording into requestedPath, or, when it is empty, a new kept
    // replay in ReplayFolder() (made when missing). artDigest (ArtDigest())
    // and match go in the header with the start time. False, with one line on
    // errors, when no file could be started.
    bool Start(const std::string& requestedPath, uint64_t artDigest, FILE* errors,
               const MatchInfo& match = LocalMatch());

    // One world frame's control bytes (first player, second player);
    // rulesDigest as for ReplayWriter::RecordFrame. Allocates nothing.
    template <typename DigestFn>
    void RecordFrame(uint8_t first, uint8_t second, DigestFn&& rulesDigest) {
        if (!writer.Recording()) {
            return;
        }
        writer.RecordFrame(first, second, rulesDigest);
        if (!writer.Recording()) {
            Report();
        }
    }

    // The other side's name, once an online match knows it; it goes in the
    // header at once.
    void NameOtherSide(const char* name, const MatchRule& rule);

    // Completes the file with the rules digest of the world after the last
    // frame, and the kills of both players of that world (the fighters'
    // deaths), and moves it into place: a kept replay of a match shorter than
    // keptShortestFrames is removed instead, and when one is kept, last.kvr
    // is made it and the oldest past keptReplayLimit are deleted. False
    // (reported on the error stream given to Start) when nothing was being
    // recorded or it could not be completed.
    bool Finish(uint64_t finalRulesDigest);

    bool Recording() const { return writer.Recording(); }
    uint32_t FrameCount() const { return writer.FrameCount(); }
    // Where the replay goes: before Finish the path it is bound for (a kept
    // replay may take "-2" after its time if another match started in the
    // same second), after it where it is; empty before Start and when a short
    // match was not kept.
    const std::string& Path() const { return path; }

    // The clock the start time is read from; std::time's unless a test sets
    // another.
    void SetClock(Clock now) { clock = now; }

private:
    void Report();

    ReplayWriter writer;
    Clock clock = nullptr;
    std::string path;
    std::string keptFolder;  // empty for a file the player named
    FILE* errors = nullptr;
    bool reported = false;
};
