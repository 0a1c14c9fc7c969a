// Sprites for the drawing and carving benchmarks, encoded from pictures made in
// memory: a solid dirt tile, a round crater and a fighter-like figure with holes.
#pragma once

#include <cstdint>
#include <vector>

#include "sprites/rle_sprite.h"

namespace bench_art {

inline constexpr uint16_t colourKey = 0x7C1F;

// Encodes a width x height picture given as top-row-first pixels.
inline bool Encode(RleSprite& sprite, Screen* screen, const std::vector<uint16_t>& pixels,
                   int32_t width, int32_t height, int32_t mode) {
    sprite.Bind(screen, width, height);
    return sprite.LoadFromPixels(pixels.data(), width, mode, colourKey) == 1;
}

// Every pixel opaque: encodes as literal rows, like the game's dirt tiles.
inline std::vector<uint16_t> Tile(int32_t side) {
    std::vector<uint16_t> pixels(static_cast<size_t>(side) * side);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint16_t>(0x2000 + i * 37);
    }
    return pixels;
}

// A disc filling the square, key outside it: the blast craters' shape.
inline std::vector<uint16_t> Disc(int32_t side) {
    std::vector<uint16_t> pixels(static_cast<size_t>(side) * side, colourKey);
    for (int32_t r = 0; r < side; ++r) {
        for (int32_t c = 0; c < side; ++c) {
            const int32_t dx = 2 * c - (side - 1);
            const int32_t dy = 2 * r - (side - 1);
            if (dx * dx + dy * dy <= side * side) {
                pixels[r * side + c] = static_cast<uint16_t>(0x4000 + r * side + c);
            }
        }
    }
    return pixels;
}

// A standing figure: head, body, arms apart from the body and two legs, with
// two to four opaque runs per row, as in a fighter animation frame.
inline std::vector<uint16_t> Figure(int32_t side) {
    std::vector<uint16_t> pixels(static_cast<size_t>(side) * side, colourKey);
    auto fill = [&](int32_t c0, int32_t r0, int32_t c1, int32_t r1) {
        for (int32_t r = r0; r < r1 && r < side; ++r) {
            for (int32_t c = c0; c < c1 && c < side; ++c) {
                pixels[r * side + c] = static_cast<uint16_t>(0x1000 + r * 3 + c);
            }
        }
    };
    const int32_t u = side / 12;
    fill(5 * u, 0, 7 * u, 2 * u);           // head
    fill(4 * u, 2 * u, 8 * u, 7 * u);       // body
    fill(2 * u, 2 * u, 3 * u + 1, 7 * u);   // left arm
    fill(9 * u - 1, 2 * u, 10 * u, 7 * u);  // right arm
    fill(4 * u, 7 * u, 5 * u + 2, side);    // left leg
    fill(7 * u - 2, 7 * u, 8 * u, side);    // right leg
    return pixels;
}

}  // namespace bench_art
