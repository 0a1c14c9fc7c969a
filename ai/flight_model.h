// The computer player's own model of how a fighter steers and flies and how a
// blast flies: the rules' arithmetic redone on copies, so the player can look
// ahead without ever stepping the world. Nothing here reads or writes the
// rules' state; terrain comes in through a Sight.
#pragma once

#include <cstdint>

struct Sight;

struct Step {
    int32_t x = 0;
    int32_t y = 0;
};

inline constexpr int32_t flightPixels = 8;  // flight speed along the travel direction
inline constexpr int32_t blastPixels = 15;  // blast speed along the aim

// The velocity of flight along direction (degrees, 0..359): 8 pixels a frame,
// each part truncated as the rules do (straight down is 7, not 8).
Step FlightStep(int32_t direction);
// The velocity of a blast released along aim (degrees, 0..359).
Step BlastStep(int32_t aim);

// An angle brought into 0..359.
int32_t WrapDegrees(int32_t degrees);
// The smallest turn from one direction to another, -180..180.
int32_t DegreesBetween(int32_t from, int32_t to);
// The direction, 0..359 (0 right, 90 down), from one point toward another.
int32_t DirectionOf(int32_t dx, int32_t dy);
// The multiple of 3 nearest a direction: the aim moves 3 degrees a frame from
// 0, so these are the only aims a fighter ever holds.
int32_t NearestAim(int32_t direction);

// Whether a fighter facing this way can hold this aim: facing 1 holds 270..359
// and 0..90, facing 0 holds 90..270.
bool AimInHalf(uint8_t facing, int32_t aim);
// The aim a turn makes of this one: mirrored across the vertical.
int32_t TurnedAim(int32_t aim);

// How to bring a fighter's aim onto wanted: the aim keys to press this frame
// (ControlUp, ControlDown or none), whether to turn first, and the frames it
// takes in all (0 when already there).
struct AimSteer {
    uint8_t controls = 0;
    int32_t frames = 0;
};
AimSteer SteerAim(int32_t aim, uint8_t facing, uint8_t turnCooldown, int32_t wanted);

// What flight depends on, copied out of a fighter, for look-ahead.
struct FlightSim {
    int32_t x = 0;  // top-left of the sprite
    int32_t y = 0;
    int32_t aim = 0;
    uint8_t facing = 1;
    uint8_t motion = 2;  // Motion: forward 0, backward 1, stopped 2
    uint8_t moveLock = 0;
    uint8_t turnCooldown = 0;
    bool blocked = false;  // the last step ran into dirt or the edge
};

// One frame of the rules' turn, aim keys, flight start and halt, travel and
// collision, on the copy; dirt is what the sight shows (unseen cells count as
// dirt). The charge key is taken as a charge held: the fighter stops and its
// flight keys do nothing (the release and its lock-out are not modelled).
void StepFlight(FlightSim& sim, uint8_t controls, const Sight& sight);

// Whether a fighter whose top-left is (x, y) may be there: inside the field's
// bounds with its centre on a seen empty cell. With unseenOpen, cells outside
// both views count as empty (GuessOpen), for guessing the other fighter's way.
bool FighterFits(const Sight& sight, int32_t x, int32_t y, bool unseenOpen = false);
