// MatchStats: what each player did in a match, counted from the frames'
// events: blasts released, hits landed and the health they cost the other.
// Kills and deaths are the fighters' own counts. Counted the same wherever
// the frames are stepped (the match, its replay, either side online).
#pragma once

#include <cstdint>

#include "rules/frame_events.h"

struct PlayerStats {
    int32_t blastsReleased = 0;
    int32_t hitsLanded = 0;
    int32_t damageDealt = 0;

    // Hits landed per blast released, in percent; 0 before the first blast.
    int32_t AccuracyPercent() const {
        return blastsReleased > 0 ? hitsLanded * 100 / blastsReleased : 0;
    }
};

class MatchStats {
public:
    // Counts one stepped frame's events.
    void Note(const FrameEvents& events);
    void Reset() { *this = MatchStats(); }

    PlayerStats players[2];
};
