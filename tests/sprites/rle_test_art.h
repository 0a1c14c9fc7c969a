// Run-length sprites for tests, encoded from pixel art held in strings: one string
// per row, '.' a colour-key pixel, any other character an opaque pixel whose value
// is the character's code. The art doubles as the expected picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sprites/rle_sprite.h"

namespace test_art {

inline constexpr uint16_t colourKey = 0x7C1F;

struct Art {
    std::vector<std::string> rows;

    int32_t Width() const { return rows.empty() ? 0 : static_cast<int32_t>(rows[0].size()); }
    int32_t Height() const { return static_cast<int32_t>(rows.size()); }
    bool IsKey(int32_t c, int32_t r) const { return rows[r][c] == '.'; }
    uint16_t Pixel(int32_t c, int32_t r) const {
        return IsKey(c, r) ? colourKey
                           : static_cast<uint16_t>(static_cast<unsigned char>(rows[r][c]));
    }
};

// Encodes the art: keyed when mode is EncodingKeyed, literal otherwise.
inline bool Encode(RleSprite& sprite, const Art& art, int32_t mode = EncodingKeyed) {
    std::vector<uint16_t> pixels;
    for (int32_t r = 0; r < art.Height(); ++r) {
        for (int32_t c = 0; c < art.Width(); ++c) {
            pixels.push_back(art.Pixel(c, r));
        }
    }
    sprite.Bind(sprite.screen, art.Width(), art.Height());
    return sprite.LoadFromPixels(pixels.data(), art.Width(), mode, colourKey) == 1;
}

// A filled disc of the given diameter with a few holes punched in it, so that its
// rows mix runs starting at the left edge, inner gaps and single pixels.
inline Art Crater(int32_t size) {
    Art art;
    const int32_t twice = size - 1;
    for (int32_t r = 0; r < size; ++r) {
        std::string row;
        for (int32_t c = 0; c < size; ++c) {
            const int32_t dx = 2 * c - twice;
            const int32_t dy = 2 * r - twice;
            const bool inside = dx * dx + dy * dy <= size * size;
            const bool hole = (c % 7 == 3 && r % 5 == 2) || (r == size / 2 && c > size / 3);
            row += inside && !hole ? static_cast<char>('A' + (c + r) % 26) : '.';
        }
        art.rows.push_back(row);
    }
    return art;
}

// Rows of every kind: segments with inner gaps, a literal row, a transparent row,
// single pixels, a run reaching the right edge, one starting at the left edge.
inline const Art mixed{{
    "..AB.C.......",
    "DEFGHIJKLMNOP",
    ".............",
    "Q.R.S.T.U.V.W",
    ".........XYZa",
    "bc...........",
}};

}  // namespace test_art
