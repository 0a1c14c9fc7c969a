// The game's one random source: a linear congruential generator whose state
// starts at 1 and is never reseeded, so every run places the same craters.
#pragma once

#include <cstdint>

// The next number of the sequence, 0..32767: 41, 18467, 6334, 26500, ...
int32_t NextRandom();
// Puts the sequence back to its program-start state (headless runs and tests).
void ResetRandom();
