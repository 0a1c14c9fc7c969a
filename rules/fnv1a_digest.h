// Fnv1aDigest: the 64-bit FNV-1a hash every digest of the game is made with
// (the world digests, the art digest of replays).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Value adds a value's bytes in memory order. Digests are compared between
// machines (replays, online play) and documented byte by byte, so the game is
// built for little-endian machines only.
static_assert(std::endian::native == std::endian::little, "digests are defined little-endian");

// Fed value by value, so padding and object layout play no part.
class Fnv1aDigest {
public:
    void Add(const void* data, size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t k = 0; k < size; ++k) {
            hash = (hash ^ bytes[k]) * 0x100000001B3ull;
        }
    }
    template <typename T>
    void Value(T value) {
        Add(&value, sizeof value);
    }
    // A float as its stored bits: compared exactly as computed.
    void Bits(float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Value(bits);
    }
    uint64_t hash = 0xCBF29CE484222325ull;
};
