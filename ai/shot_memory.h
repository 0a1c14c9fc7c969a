// ShotMemory: the player's memory of the blasts it let go, so it can tell
// whether the ones still flying will meet the other fighter without seeing
// them (a blast leaves both views long before it crosses the field), and hold
// its fire while they do.
#pragma once

#include <cstdint>

#include "ai/flight_model.h"
#include "ai/target_forecast.h"

class ShotMemory {
public:
    ShotMemory() = default;
    virtual ~ShotMemory() = default;

    // A blast released in `frame` from launch point (x, y) along aim, with
    // this hit distance.
    void Remember(int32_t frame, int32_t x, int32_t y, int32_t aim, int32_t reach);
    // Forgets them all (the other fighter started over somewhere else).
    void Forget() { count = 0; }
    // How many remembered blasts, now `frame`, are on course to meet the
    // forecast; blasts past their course are forgotten.
    int32_t OnCourse(int32_t frame, const FighterForecast& target);

private:
    struct Flying {
        int32_t frame;
        int32_t x;
        int32_t y;
        Step v;
        int32_t reach;
    };
    static constexpr int32_t capacity = 16;
    Flying shots[capacity];
    int32_t count = 0;
};
