// MatchSummary: how a decided match ended, as its end screen (and a replay
// that ends where the match did) shows it: the rule, the winner, the frames
// played and both players' kills, deaths and statistics, with their names.
#pragma once

#include <cstdint>

#include "replay/replay_format.h"
#include "rules/match_rule.h"
#include "rules/match_stats.h"

struct MatchSummary {
    MatchRule rule;
    MatchOutcome outcome;
    int32_t frames = 0;
    int32_t kills[2] = {0, 0};
    int32_t deaths[2] = {0, 0};
    PlayerStats stats[2];
    char names[2][32] = {};
    // Online: the side this machine played (0 or 1); -1 at one machine.
    int32_t localSide = -1;
};

// The summary of the world as it stands after frames world frames played
// under rule (the kills and deaths are the fighters'), with the statistics
// counted along them. The names are left empty.
MatchSummary SummariseWorld(const MatchRule& rule, int32_t frames, const MatchStats& stats);

// The names a replay gives its players, from what its header says of the
// match: "Left player" and "Right player" at one machine (or unknown);
// against the computer "You" and "Computer (hard)"; online "You" and the
// other side's name.
void NameReplayPlayers(const MatchInfo& match, MatchSummary& summary);

// The end screen's title: "Left player wins", "You win", "A draw".
void DescribeWinner(const MatchSummary& summary, char* text, int32_t size);
