// Match: one match in the running program. Starting it is one call, which
// sets the world up afresh (the art loaded once a process), forgets what the
// last match left (its sounds, its hits, a pause) and starts its replay; then
// one Step a world frame, with the two players' bytes from their control
// sources; then Finish, which completes the replay. A second match in the
// same process starts from exactly the world the first one did.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "replay/match_recorder.h"
#include "replay/replay_format.h"
#include "rules/control_source.h"
#include "rules/match_rule.h"
#include "rules/match_stats.h"

struct MatchSetup {
    // Recorded into recordPath, or last.kvr in the replay folder when empty;
    // not at all when record is false (tests).
    bool record = true;
    std::string recordPath;
    // False plays on in the world as the caller set it up (tests and tools
    // with art of their own) instead of setting it up afresh.
    bool setUpWorld = true;
    // When the match is over (never, as the game has always played).
    MatchRule rule = {};
    // Nobody hears it (a match played behind the title menu).
    bool silent = false;
    // The kind of match, as its replay's header keeps it (with the rule
    // above in place of info.rule).
    MatchInfo info = LocalMatch();
};

class Match {
public:
    Match() = default;
    Match(const Match&) = delete;
    Match& operator=(const Match&) = delete;
    virtual ~Match() = default;

    // Sets the world up for a new match (SetUpWorld) with these players,
    // forgets the sounds the last one made, and
    // starts the recording; a recording that cannot be made is told on
    // errors and the match is played all the same.
    void Start(ControlSource& first, ControlSource& second, const MatchSetup& setup, FILE* errors);
    // One world frame: both players' bytes, the rules, the sounds the frame
    // made, the statistics, the recording, the rule. Allocates nothing.
    void Step();
    // Completes the replay with the world's rules digest. Once; later calls,
    // and a match never started, do nothing. True when a replay was completed.
    bool Finish();

    // World frames stepped since Start.
    int32_t Frame() const { return frame; }
    // Whether the rule says the match is over, and who won; once it is, Step
    // steps nothing more.
    const MatchOutcome& Outcome() const { return outcome; }
    const MatchStats& Stats() const { return stats; }
    const MatchRule& Rule() const { return rule; }
    bool Running() const { return running; }
    const MatchRecorder& Recorder() const { return recorder; }

private:
    ControlSource* players[2] = {nullptr, nullptr};
    MatchRecorder recorder;
    MatchRule rule;
    MatchStats stats;
    MatchOutcome outcome;
    int32_t frame = 0;
    bool running = false;
    bool silent = false;
};
