// MatchTally: what an online match's confirmed frames add up to: each
// player's statistics, the fighters' deaths, and whether the match's rule has
// decided it. Both sides count the same confirmed frames in the same order,
// so both decide at the same frame, as a replay of those frames would.
#pragma once

#include <cstdint>

#include "net/confirmed_queue.h"
#include "rules/match_rule.h"
#include "rules/match_stats.h"

class MatchTally {
public:
    // Forgets what was counted; the match is played by rule from here.
    void Start(const MatchRule& rule);
    // Counts the next confirmed frame. Answers whether the rule decided the
    // match with it; frames after the deciding one are not counted.
    bool Count(const ConfirmedFrame& frame);

    const MatchRule& Rule() const { return rule; }
    const MatchOutcome& Outcome() const { return outcome; }
    const MatchStats& Stats() const { return stats; }
    // Frames counted: the deciding one is the last.
    int32_t Frames() const { return frames; }
    // Player 0 or 1's deaths after the last frame counted; each is the
    // other player's kills.
    int32_t Deaths(int32_t player) const { return deaths[player == 0 ? 0 : 1]; }
    int32_t Kills(int32_t player) const { return Deaths(1 - player); }

private:
    MatchRule rule;
    MatchOutcome outcome;
    MatchStats stats;
    int32_t frames = 0;
    int32_t deaths[2] = {0, 0};
};
