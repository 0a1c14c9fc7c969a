// The game's one random source: a linear congruential generator whose state
// starts at 1 and is never reseeded, so every run places the same craters.
#pragma once

#include <cstdint>

// The next number of the sequence, 0..32767: 41, 18467, 6334, 26500, ...
int32_t NextRandom();
// One number of the sequence reduced modulo n, 0 .. n - 1. The number is drawn
// even when n is 0 or less (the answer is then 0), so the sequence moves on the
// same way whatever the field's size.
int32_t NextRandomBelow(int32_t n);
// Puts the sequence back to its program-start state (headless runs and tests).
void ResetRandom();
// The generator's state: where the sequence stands, for the rules digest and
// world snapshots.
uint32_t RandomState();
// Puts the sequence where RandomState once answered: a restored snapshot
// draws the same numbers again.
void SetRandomState(uint32_t value);
