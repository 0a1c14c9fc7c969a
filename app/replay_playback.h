// ReplayPlayback: a recorded match shown again in the game's window, with the
// game's views and panel, at one, two or four world frames per display frame.
// The stored rules digests are compared as it plays; the end of the file or a
// digest that differs holds the picture with a line saying which.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/play_state.h"
#include "replay/replay_controls.h"
#include "replay/replay_reader.h"

// The playback's own requests, as bits beside the game's Command bits.
enum ReplayCommand : uint32_t {
    ReplayCommandFaster = 1u << 16,  // ]: the next speed up, to 4x at most
    ReplayCommandSlower = 1u << 17,  // [: the next speed down, to 1x at least
};

// The commands a window message stands for during playback: the game's
// comfort keys (CommandsFromMessage), Space as a second pause key (the
// players' keys play no part), and ] and [ for the speed.
uint32_t ReplayCommandsFromMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

class ReplayPlayback {
public:
    static constexpr int32_t fastestSpeed = 4;

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

    // Sets the world up as the game does (the screen, the art and the sound
    // device ready) and goes back to the replay's first frame at 1x.
    void Start();

    // One display frame: acts on what the comforts changed and on the speed
    // commands, steps the world Speed() frames unless the world stands still,
    // compares the digests that fall due, and draws the frame with the
    // "Replay" label, or keeps and covers the frame the world stopped on (the
    // pause line, the help, or the end line). Allocates nothing.
    void Frame(const PlayState& state, uint32_t commands, uint32_t changes);

    int32_t Speed() const { return speed; }
    uint32_t FramesPlayed() const { return static_cast<uint32_t>(nextFrame); }
    uint32_t FrameCount() const { return static_cast<uint32_t>(replay.frames.size()); }
    // The last frame was played, or a digest differed: the picture holds.
    bool Ended() const { return ended; }
    bool OutOfSync() const { return outOfSync; }
    // The frame after which the first differing digest was due (OutOfSync).
    uint32_t OutOfSyncFrame() const { return outOfSyncFrame; }
    // The centred line shown once Ended, and the panel's label.
    const char* EndLine() const { return endLine; }
    const char* Label() const { return label; }

    // Replaces the replay (Load does this after its checks); for tests.
    void Use(Replay played) { replay = std::move(played); }

private:
    void StepOnce();
    void Compare(uint64_t expected);
    void EndHere();
    void SetLabel();
    void DrawLabel() const;
    void DrawCovered(const PlayState& state) const;

    Replay replay;
    ReplayControls players[2] = {{replay.frames, 0}, {replay.frames, 1}};
    size_t nextFrame = 0;
    size_t nextDigest = 0;
    int32_t speed = 1;
    bool ended = false;
    bool outOfSync = false;
    uint32_t outOfSyncFrame = 0;
    // The frame on screen is the held, dimmed one.
    bool holding = false;
    char endLine[64] = {};
    char label[24] = {};
};
