// The computer player's levels and what makes them differ: how late it
// notices what happens, how fast it recovers from a throw, how far its aim
// strays and how often it dodges in time.
#pragma once

#include <cstdint>
#include <string_view>

enum class ComputerLevel : uint8_t {
    Easy,
    Normal,
    Hard,
};

struct LevelTraits {
    // Frames between something happening on screen (a blast, the other
    // fighter's move) and the player acting on it, drawn anew now and then
    // between these two.
    int32_t reactionLeast;
    int32_t reactionMost;
    // Frames after being thrown before it takes its controls back.
    int32_t recoverFrames;
    // Each shot's aim strays by up to this many degrees either way.
    int32_t aimErrorDegrees;
    // The chance, in percent, that it sees a blast coming at it in time to
    // get out of the way.
    int32_t dodgePercent;
    // The most ki it charges for a blast that takes the rest of the other
    // fighter's health (its other blasts are the free ones, 1 ki).
    int32_t finisherKi;
};

// "easy", "normal" or "hard" into *level; false (level untouched) for
// anything else.
bool ParseComputerLevel(std::string_view text, ComputerLevel* level);
const char* ComputerLevelName(ComputerLevel level);
const LevelTraits& TraitsOf(ComputerLevel level);
