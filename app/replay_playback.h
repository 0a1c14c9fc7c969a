// ReplayPlayback: a recorded match shown again in the game's window, with the
// game's views and panel, at one, two or four world frames per display frame,
// with a restart and seeking ten seconds either way. The stored rules digests
// are compared as it plays; the end of the file or a digest that differs
// holds the picture with a line saying which, and a replay that ends where
// its rule decided the match ends on the match's summary.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/match_summary.h"
#include "app/play_state.h"
#include "replay/replay_controls.h"
#include "replay/replay_reader.h"
#include "rules/match_stats.h"
#include "rules/world_timing.h"

// The playback's own requests, as bits beside the game's Command bits.
enum ReplayCommand : uint32_t {
    ReplayCommandFaster = 1u << 16,   // ]: the next speed up, to 4x at most
    ReplayCommandSlower = 1u << 17,   // [: the next speed down, to 1x at least
    ReplayCommandRestart = 1u << 18,  // Home: back to the first frame
    ReplayCommandBack = 1u << 19,     // Left: ten seconds back
    ReplayCommandAhead = 1u << 20,    // Right: ten seconds on
    ReplayCommandLeave = 1u << 21,    // Enter: the replay's mode may leave it once it ended
};

// The commands a window message stands for during playback: the game's
// comfort keys (CommandsFromMessage), Space as a second pause key (the
// players' keys play no part), ] and [ for the speed, Home, Left and Right
// for the restart and the seeking, Enter to leave.
uint32_t ReplayCommandsFromMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

class ReplayPlayback {
public:
    static constexpr int32_t fastestSpeed = 4;
    // How far Left and Right seek.
    static constexpr uint32_t seekFrames = 10 * worldFramesPerSecond;

    ReplayPlayback() = default;
    ReplayPlayback(const ReplayPlayback&) = delete;
    ReplayPlayback& operator=(const ReplayPlayback&) = delete;
    virtual ~ReplayPlayback() = default;

    // Reads the replay at path and checks that this build can play it
    // against the art's digest (before the art is loaded for drawing, the
    // blast shapes are read for it with SetUpRulesWorld, so no window is
    // needed yet). False, with one line on errors, for a file that
    // is not a readable replay, or was made by the other pixel layout's build
    // or with other art. A file cut short (a game that crashed) is played up
    // to its cut, and a line on errors says so.
    bool Load(const std::string& path, FILE* errors);

    // Whether Escape leads back to the title menu (the lines shown say so)
    // rather than ending the program. Before Start.
    void SetFromMenu(bool fromMenu) { toMenu = fromMenu; }

    // Sets the world up as the game does (the screen, the art and the sound
    // device ready) and goes back to the replay's first frame at 1x.
    void Start();

    // One display frame: acts on what the comforts changed, on the speed
    // commands and on a restart or seek (shown at once, paused or not),
    // steps the world Speed() frames unless the world stands still, compares
    // the digests that fall due, and draws the frame with the "Replay" label,
    // or keeps and covers the frame the world stopped on (the pause line,
    // the help, the end line, or the match's summary). Allocates nothing.
    void Frame(const PlayState& state, uint32_t commands, uint32_t changes);

    // Goes to the world after frame (held to the replay's frames): from the
    // start again when it lies behind, the frames between stepped silently
    // and undrawn, their digests compared (a difference stops there, as in
    // play). Ahead of a digest that differed it does not go. False when it
    // stayed where it was. Allocates nothing.
    bool SeekTo(uint32_t frame);

    int32_t Speed() const { return speed; }
    uint32_t FramesPlayed() const { return static_cast<uint32_t>(nextFrame); }
    uint32_t FrameCount() const { return static_cast<uint32_t>(replay.frames.size()); }
    // The last frame was played, or a digest differed: the picture holds.
    bool Ended() const { return ended; }
    bool OutOfSync() const { return outOfSync; }
    // The frame after which the first differing digest was due (OutOfSync).
    uint32_t OutOfSyncFrame() const { return outOfSyncFrame; }
    // The replay ended on the frame its rule decided the match: Summary()
    // says how, as the match's end screen did.
    bool Decided() const { return decided; }
    const MatchSummary& Summary() const { return summary; }
    // The statistics of the frames played so far.
    const MatchStats& Stats() const { return stats; }
    // The centred line shown once Ended, and the panel's label ("Replay 2×
    // 1:05": the speed, when not 1x, and the time played).
    const char* EndLine() const { return endLine; }
    const char* Label() const { return label; }

    // Replaces the replay (Load does this after its checks); for tests.
    void Use(Replay played) { replay = std::move(played); }

private:
    void Rewind();
    void StepOnce(bool heard);
    void Compare(uint64_t expected);
    void EndHere();
    void SetLabel();
    void DrawLabel() const;
    void DrawCovered(const PlayState& state) const;
    // The seek a frame's commands ask for, as a target frame; -1 for none.
    int64_t SeekTarget(uint32_t commands) const;

    Replay replay;
    ReplayControls players[2] = {{replay.frames, 0}, {replay.frames, 1}};
    size_t nextFrame = 0;
    size_t nextDigest = 0;
    int32_t speed = 1;
    bool ended = false;
    bool outOfSync = false;
    uint32_t outOfSyncFrame = 0;
    bool decided = false;
    MatchStats stats;
    MatchSummary summary;
    bool toMenu = false;
    // The frame on screen is the held, dimmed one.
    bool holding = false;
    char endLine[64] = {};
    char pauseLine[64] = {};
    char label[48] = {};
    int32_t labelSeconds = -1;  // the time the label shows
};
