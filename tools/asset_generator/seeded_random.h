// SeededRandom: the generator's one source of variety. A fixed seed gives the same
// sequence on every machine, so the art and sounds come out byte for byte alike.
#pragma once

#include <cstdint>

class SeededRandom {
public:
    explicit SeededRandom(uint32_t seed) : state(seed != 0 ? seed : 0x9E3779B9u) {}

    // xorshift32: full period over the non-zero 32-bit states.
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [0, 1).
    double Unit() { return double(Next() >> 8) / double(1u << 24); }
    double Range(double low, double high) { return low + (high - low) * Unit(); }
    // Uniform in [-1, 1).
    double Signed() { return Unit() * 2.0 - 1.0; }

private:
    uint32_t state;
};

// A repeatable value in [0, 1) for a lattice point, without any state: the dirt's
// noise needs random access to wrap around its edges.
inline double LatticeValue(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return double(h >> 8) / double(1u << 24);
}
