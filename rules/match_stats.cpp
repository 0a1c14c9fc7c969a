// Counting a frame's events into each player's statistics.
#include "rules/match_stats.h"

void MatchStats::Note(const FrameEvents& events) {
    for (int32_t i = 0; i < events.count; ++i) {
        const FighterEvent& event = events.events[i];
        const int32_t own = event.fighter == 0 ? 0 : 1;
        switch (event.kind) {
            case FighterReleased:
                ++players[own].blastsReleased;
                break;
            case FighterHit:
                // Only the other fighter's blasts hit a fighter.
                ++players[1 - own].hitsLanded;
                players[1 - own].damageDealt += event.amount;
                break;
            default:
                break;
        }
    }
}
