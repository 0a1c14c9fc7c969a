// OpacityMask: a Surface's 8-bit opacity per pixel (0 clear, 255 opaque),
// built from an 8-bit Windows bitmap, a Surface's colour key or its brightness,
// blurred, scaled, and turned into per-row runs for drawing (masked_blit.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class PixelFormat;
class Surface;

// What Surface::EncodeOpacityMask passes to Encode: opacities below 16 (about
// 6%) count as clear, so drawing skips them instead of blending in a trace of
// colour; that also trims the long faint tails a blur leaves.
constexpr int32_t opacityMaskDrawThreshold = 16;

// Run format, made by Encode(threshold): runStarts holds height + 1 entries,
// and row r's runs are runs[runStarts[r]] .. runs[runStarts[r + 1] - 1], left
// to right, never overlapping. A run is `length` (>= 1) pixels from `column`
// whose values are all at or above the threshold; every pixel outside the
// runs is below it and is drawn as clear. An `opaque` run holds only 255 and is
// drawn by copying; any other run holds values below 255 and is blended pixel
// by pixel, so a row starts a new run where its pixels change between the two
// kinds (such runs touch). Example, threshold 16, one row:
//   values  0 40 255 255 9 255       runs  {1, 1, blended} {2, 2, opaque} {5, 1, opaque}
// The mask's own operations drop the runs (runStarts empty) when they change
// the values; code that writes `values` directly must Encode again.
class OpacityMask {
public:
    // An all-zero mask; a side that is not positive or above maxSurfaceSide
    // gives an empty mask.
    OpacityMask(int32_t width, int32_t height);
    virtual ~OpacityMask() = default;

    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> values;  // row-major, width x height

    struct Run {
        int32_t column;
        int32_t length;
        bool opaque;
    };
    std::vector<Run> runs;
    std::vector<int32_t> runStarts;

    // Copies the bitmap's pixel bytes (its palette indices, taken as
    // opacities) with its top-left corner at (x, y); the parts outside the mask
    // are dropped. Only uncompressed 8-bit bitmaps (top-down or bottom-up) are
    // taken; nothing beyond `length` bytes is read. False, mask unchanged, for
    // anything else.
    bool LoadBitmap(const uint8_t* bytes, size_t length, int32_t x, int32_t y);
    // These two take the Surface's size and read its 16-bit pixels, which must
    // be at hand (locked, or kind 6). False, mask unchanged, otherwise.
    // 0 where the pixel lies in the colour-key range (colorKey..colorKeyHigh),
    // 255 elsewhere.
    bool BuildFromColorKey(const Surface& surface);
    // The pixel's luminance, (77 red + 150 green + 29 blue + 128) / 256 with
    // the channels read as 0..255 from the Surface's pixel layout: white 255,
    // pure red 77, green 149, blue 29.
    bool BuildFromBrightness(const Surface& surface);

    // Box blur over (2 radius + 1) pixels, across then down, each average
    // rounded to nearest; samples beyond an edge repeat the edge pixel. A
    // radius below 1 changes nothing.
    void Blur(int32_t radius);
    // Resizes to newWidth x newHeight, each pixel taking the nearest source
    // pixel the way Surface::StretchTo picks it (source column = column *
    // width / newWidth), so a mask scaled with its Surface stays in register.
    // False, mask unchanged, for an empty mask or a size the constructor
    // would refuse.
    bool Scale(int32_t newWidth, int32_t newHeight);

    // Rebuilds the runs from the values at or above threshold (taken as at
    // least 1: a 0 is never drawn).
    void Encode(int32_t threshold);
    bool RunsCurrent() const;                // Encode has run since the mask's last change
    uint8_t At(int32_t x, int32_t y) const;  // 0 outside the mask

private:
    bool Resize(int32_t newWidth, int32_t newHeight);  // all zero; false when refused
    void DropRuns();
};

// The pixel format of a 16-bit Surface whose pixels can be read and written
// now (locked, or kind 6, with a pitch that holds its width); null otherwise.
const PixelFormat* AccessiblePixelFormat16(const Surface& surface);
