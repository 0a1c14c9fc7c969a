// LinkRandom: the seeded generator behind a simulated bad link (which packets
// are lost, how late each arrives). Not the game's random source, which the
// rules alone draw from.
#pragma once

#include <cstdint>

class LinkRandom {
public:
    explicit LinkRandom(uint64_t seed = 1) : state(seed) {}
    virtual ~LinkRandom() = default;

    // splitmix64: every seed, zero included, gives a full-period sequence.
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n - 1 (0 when n is 0).
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(Next() % n); }
    // True for the given share of calls, in percent.
    bool Chance(uint32_t percent) { return Below(100) < percent; }

private:
    uint64_t state;
};
