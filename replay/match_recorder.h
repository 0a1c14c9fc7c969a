// MatchRecorder: keeps every match as a replay. The player may name the file
// (--record FILE); otherwise the last match goes to last.kvr in the replay
// folder, replacing the one before. A recording that cannot be made or goes
// wrong is reported once on the error stream and the match plays on
// unrecorded: a replay is never worth stopping a game for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "replay/replay_writer.h"

class MatchRecorder {
public:
    MatchRecorder() = default;
    MatchRecorder(const MatchRecorder&) = delete;
    MatchRecorder& operator=(const MatchRecorder&) = delete;
    virtual ~MatchRecorder() = default;

    // Starts recording into requestedPath, or into DefaultReplayPath() when it
    // is empty (that folder is made when missing). artDigest goes in the
    // header (ArtDigest()). False, with one line on errors, when no file could
    // be started.
    bool Start(const std::string& requestedPath, uint64_t artDigest, FILE* errors);

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

    // Completes the file with the rules digest of the world after the last
    // frame and moves it into place. False (reported on the error stream given
    // to Start) when nothing was being recorded or it could not be completed.
    bool Finish(uint64_t finalRulesDigest);

    bool Recording() const { return writer.Recording(); }
    uint32_t FrameCount() const { return writer.FrameCount(); }
    // Where the finished replay goes; empty before Start.
    const std::string& Path() const { return writer.Path(); }

private:
    void Report();

    ReplayWriter writer;
    FILE* errors = nullptr;
    bool reported = false;
};
