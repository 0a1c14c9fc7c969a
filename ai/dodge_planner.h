// Getting out of the way: blasts coming at the player, and the few things it
// can do with its flight keys over the next frames, each tried on a copy of
// its flight to see which keeps it clear longest.
#pragma once

#include <cstdint>

#include "ai/flight_model.h"

struct Sight;

// A blast expected to fly straight on: where it is now, its velocity, and the
// squared distance below which it hits. A blast not yet released (a charge the
// other fighter may let go) starts `from` frames from now.
struct Threat {
    int32_t x = 0;
    int32_t y = 0;
    int32_t vx = 0;
    int32_t vy = 0;
    int32_t reachSquared = 0;
    int32_t from = 0;
};

inline constexpr int32_t threatCapacity = 24;
inline constexpr int32_t dodgeHorizon = 24;

// The frame (1 .. dodgeHorizon) at which the first threat would hit a fighter
// that starts as `start` and presses `first` now and `then` on every later
// frame; dodgeHorizon + 1 when none does. *end gets the flight after the
// horizon (or at the hit).
int32_t FirstHit(const FlightSim& start, uint8_t first, uint8_t then, const Threat* threats,
                 int32_t count, const Sight& sight, FlightSim* end);

struct DodgeChoice {
    int32_t hitIn = dodgeHorizon + 1;  // with the chosen keys
    uint8_t first = 0;                 // keys for this frame
    uint8_t then = 0;                  // keys for the frames after
};

// The keys that keep the fighter clear longest; among those clear to the
// horizon, the ones ending nearest `goalX`, `goalY` (a fighter's top-left).
DodgeChoice ChooseDodge(const FlightSim& start, const Threat* threats, int32_t count,
                        const Sight& sight, int32_t goalX, int32_t goalY);
