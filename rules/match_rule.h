// MatchRule: when a match is over. Endless (the game as it always was: it
// ends when a player leaves), first to a number of kills, or a time limit
// after which the one with more kills wins. Decided from the world alone
// (each fighter's deaths are the other's kills) and the frames played, so a
// replay of the match, or the other side of an online one, decides it at the
// same frame.
#pragma once

#include <cstdint>

#include "rules/fighter.h"

enum MatchRuleKind : uint8_t {
    MatchEndless = 0,
    MatchFirstToKills = 1,  // value: the kills that win, 1..99
    MatchTimeLimit = 2,     // value: minutes, 1..30
};

struct MatchRule {
    uint8_t kind = MatchEndless;
    int32_t value = 0;

    static constexpr int32_t mostKills = 99;
    static constexpr int32_t mostMinutes = 30;

    bool operator==(const MatchRule&) const = default;
    // The rule with its value held to its range (an endless rule has none).
    MatchRule Checked() const;
};

inline constexpr int32_t defaultKillsToWin = 5;

struct MatchOutcome {
    bool decided = false;
    int32_t winner = -1;  // 0: the first player, 1: the second, -1: a draw
};

// Whether the match is over after framesPlayed world frames, and who won.
MatchOutcome DecideMatch(const MatchRule& rule, int32_t framesPlayed, const Fighter* fighters);
// The same from both fighters' deaths (first, second) as they stood then.
MatchOutcome DecideMatch(const MatchRule& rule, int32_t framesPlayed, const int32_t* deaths);

// The world frames a time limit allows; 0 for the other rules.
int32_t RuleFrameLimit(const MatchRule& rule);

// "first to 5 kills", "3 minutes", "endless".
void DescribeRule(const MatchRule& rule, char* text, int32_t size);
