// A match played frame by frame as the local match mode plays it (the
// comforts applied, then PlayFrame), with each frame's control bytes given
// by the test.
#pragma once

#include <cstdint>
#include <cstdio>

#include "app/match.h"
#include "app/play_frame.h"
#include "app/play_state.h"
#include "app/replay_playback.h"
#include "rules/control_source.h"

class ScriptedMatch {
public:
    // The world as the test set it up; recorded into recordPath when given.
    // Silent, nobody hears it: which copy of the charge sound a fighter
    // starts (in the full digest) then never depends on a sound device an
    // earlier test in the process left playing.
    explicit ScriptedMatch(const char* recordPath = nullptr, FILE* errors = stderr,
                           bool silent = false) {
        MatchSetup setup;
        setup.record = recordPath != nullptr;
        setup.recordPath = recordPath != nullptr ? recordPath : "";
        setup.setUpWorld = false;
        setup.silent = silent;
        match.Start(first, second, setup, errors);
    }

    // One display frame with these commands; the bytes are taken only when
    // the world runs. Answers the PlayChange bits.
    uint32_t Play(PlayState& state, uint32_t commands, uint8_t firstBytes, uint8_t secondBytes) {
        first.next = firstBytes;
        second.next = secondBytes;
        const uint32_t changes = ApplyComforts(state, commands);
        PlayFrame(state, changes, match);
        return changes;
    }

    Match match;

private:
    struct NextByte : ControlSource {
        uint8_t Controls(int32_t) override { return next; }
        uint8_t next = 0;
    };
    NextByte first;
    NextByte second;
};

// One display frame of a replay shown again, with these commands, as the
// replay mode shows it.
inline void ShowReplay(ReplayPlayback& playback, PlayState& state, uint32_t commands) {
    playback.Frame(state, commands, ApplyComforts(state, commands));
}
