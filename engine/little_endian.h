// Numbers stored low byte first, as every file and packet the game reads or
// writes stores them. The callers check the sizes; these never look at them.
#pragma once

#include <cstdint>

inline void PutLittle16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}
inline void PutLittle32(uint8_t* out, uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        out[k] = static_cast<uint8_t>(value >> (8 * k));
    }
}
inline void PutLittle64(uint8_t* out, uint64_t value) {
    for (int k = 0; k < 8; ++k) {
        out[k] = static_cast<uint8_t>(value >> (8 * k));
    }
}
inline uint16_t GetLittle16(const uint8_t* in) {
    return static_cast<uint16_t>(in[0] | in[1] << 8);
}
inline uint32_t GetLittle32(const uint8_t* in) {
    uint32_t value = 0;
    for (int k = 3; k >= 0; --k) {
        value = value << 8 | in[k];
    }
    return value;
}
inline uint64_t GetLittle64(const uint8_t* in) {
    uint64_t value = 0;
    for (int k = 7; k >= 0; --k) {
        value = value << 8 | in[k];
    }
    return value;
}
