// Where a fighter will be over the next frames, as a person would guess it
// from what they see: a flying fighter keeps its course until dirt or the edge
// stops it, a thrown one falls, any other stays where it is. Also the blast
// a charging fighter could let go at any moment.
#pragma once

#include <cstdint>

#include "ai/flight_model.h"

struct Sight;
struct SeenFighter;

// Long enough for a blast to cross most of the field (15 pixels a frame).
inline constexpr int32_t forecastFrames = 160;

struct FighterForecast {
    // centre[k]: the fighter's centre after k more frames; centre[0] is now.
    Step centre[forecastFrames + 1];
    // True when the fighter is expected to hold still the whole time.
    bool still = false;
};

// Forecasts fighter f, seen `age` frames ago moving by velocity (pixels per
// frame, from the last two sightings), from now on: the first `age` frames of
// its course are run through and dropped.
void ForecastFighter(const Sight& sight, const SeenFighter& f, Step velocity, int32_t age,
                     FighterForecast* forecast);

// Whether a fighter in this state is flying under its own power.
bool IsFlying(int32_t state);
