// The game's linear congruential random source and its reset.
#include "rules/next_random.h"

namespace {

constexpr uint32_t startState = 1;
uint32_t state = startState;

}  // namespace

int32_t NextRandom() {
    // Unsigned arithmetic wraps modulo 2^32, which is the generator's modulus.
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
}

int32_t NextRandomBelow(int32_t n) {
    const int32_t number = NextRandom();
    return n > 0 ? number % n : 0;
}

void ResetRandom() {
    state = startState;
}

uint32_t RandomState() {
    return state;
}

void SetRandomState(uint32_t value) {
    state = value;
}
