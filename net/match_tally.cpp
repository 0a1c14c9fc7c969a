// Counting confirmed frames into the statistics and asking the rule.
#include "net/match_tally.h"

void MatchTally::Start(const MatchRule& matchRule) {
    *this = MatchTally();
    rule = matchRule.Checked();
}

bool MatchTally::Count(const ConfirmedFrame& frame) {
    if (outcome.decided) {
        return false;
    }
    stats.Note(frame.events);
    deaths[0] = frame.deaths[0];
    deaths[1] = frame.deaths[1];
    frames = frame.frame + 1;
    outcome = DecideMatch(rule, frames, deaths);
    return outcome.decided;
}
