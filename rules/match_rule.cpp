// Deciding a match by its rule.
#include "rules/match_rule.h"

#include <algorithm>
#include <cstdio>

#include "rules/world_timing.h"

MatchRule MatchRule::Checked() const {
    switch (kind) {
        case MatchFirstToKills:
            return MatchRule{kind, std::clamp(value, 1, mostKills)};
        case MatchTimeLimit:
            return MatchRule{kind, std::clamp(value, 1, mostMinutes)};
        default:
            return MatchRule{};
    }
}

int32_t RuleFrameLimit(const MatchRule& rule) {
    const MatchRule checked = rule.Checked();
    return checked.kind == MatchTimeLimit ? checked.value * 60 * worldFramesPerSecond : 0;
}

MatchOutcome DecideMatch(const MatchRule& rule, int32_t framesPlayed, const Fighter* fighters) {
    const int32_t deaths[2] = {fighters[0].deaths, fighters[1].deaths};
    return DecideMatch(rule, framesPlayed, deaths);
}

MatchOutcome DecideMatch(const MatchRule& rule, int32_t framesPlayed, const int32_t* deaths) {
    const MatchRule checked = rule.Checked();
    const int32_t kills[2] = {deaths[1], deaths[0]};
    MatchOutcome outcome;
    if (checked.kind == MatchFirstToKills) {
        outcome.decided = kills[0] >= checked.value || kills[1] >= checked.value;
    } else if (checked.kind == MatchTimeLimit) {
        outcome.decided = framesPlayed >= RuleFrameLimit(checked);
    }
    if (outcome.decided && kills[0] != kills[1]) {
        outcome.winner = kills[0] > kills[1] ? 0 : 1;
    }
    return outcome;
}

void DescribeRule(const MatchRule& rule, char* text, int32_t size) {
    const MatchRule checked = rule.Checked();
    switch (checked.kind) {
        case MatchFirstToKills:
            std::snprintf(text, static_cast<size_t>(size), "first to %d kill%s", checked.value,
                          checked.value == 1 ? "" : "s");
            break;
        case MatchTimeLimit:
            std::snprintf(text, static_cast<size_t>(size), "%d minute%s", checked.value,
                          checked.value == 1 ? "" : "s");
            break;
        default:
            std::snprintf(text, static_cast<size_t>(size), "endless");
            break;
    }
}
