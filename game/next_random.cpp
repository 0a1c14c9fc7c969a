// The game's linear congruential random source and its reset.
#include "game/next_random.h"

namespace {

constexpr uint32_t StartState = 1;
uint32_t state = StartState;

}  // namespace

int32_t NextRandom() {
    // Unsigned arithmetic wraps modulo 2^32, which is the generator's modulus.
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
}

void ResetRandom() {
    state = StartState;
}
