// PlayerRandom: the computer player's own generator (SplitMix64), seeded per
// player. It exists so the player never draws from the rules' sequence: a
// match against it stays a pure function of the control bytes.
#pragma once

#include <cstdint>

class PlayerRandom {
public:
    explicit PlayerRandom(uint64_t seed) : state(seed) {}
    virtual ~PlayerRandom() = default;

    uint64_t Next() {
        state += 0x9E3779B97F4A7C15ULL;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number in low .. high, both included; low when high < low.
    int32_t Between(int32_t low, int32_t high) {
        if (high <= low) {
            return low;
        }
        const auto span = static_cast<uint64_t>(high - low) + 1;
        return low + static_cast<int32_t>(Next() % span);
    }
    // True with the given chance in percent.
    bool Percent(int32_t chance) { return Between(0, 99) < chance; }

private:
    uint64_t state;
};
