// OpacityMask: a Surface's 8-bit opacity per pixel (0 clear, 255 opaque),
// loaded from 8-bit Windows bitmaps and optionally turned into per-row runs of
// the pixels that are opaque enough to draw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class OpacityMask {
public:
    // An all-zero mask; a size that is not positive gives an empty mask.
    OpacityMask(int32_t width, int32_t height);
    virtual ~OpacityMask() = default;

    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> values;  // row-major, width x height

    // Runs after Encode: row r's runs are runStarts[r] .. runStarts[r + 1] - 1
    // in runs, each a (first column, length) pair of pixels at or above the
    // threshold.
    struct Run {
        int32_t column;
        int32_t length;
    };
    std::vector<Run> runs;
    std::vector<int32_t> runStarts;

    // Copies the bitmap's pixel bytes with its top-left corner at (x, y); the
    // parts outside the mask are dropped. Only uncompressed 8-bit bitmaps (top-
    // down or bottom-up) are taken; nothing beyond `length` bytes is read.
    bool LoadBitmap(const uint8_t* bytes, size_t length, int32_t x, int32_t y);
    // Rebuilds the runs from the values at or above threshold.
    void Encode(int32_t threshold);
    uint8_t At(int32_t x, int32_t y) const;  // 0 outside the mask
};
