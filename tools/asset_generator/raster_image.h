// RasterImage: an opaque 24-bit picture whose transparent pixels hold the colour
// key, the form every sheet takes before it is written as a bitmap file. Cairo
// drawings are cut into it with a hard coverage threshold.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// Pure magenta marks transparency in every sheet; no art colour may reach it.
inline constexpr Rgb colourKey{255, 0, 255};

// True when c becomes the key's 16-bit value. The game keeps the top five bits of
// each channel (and the 5-6-5 layout is derived from those), so this is the test
// for both layouts.
bool MapsToKey(Rgb c);
// c itself, or c with green lifted one 5-bit step when it would turn into the key.
Rgb AvoidKey(Rgb c);

class RasterImage {
public:
    RasterImage(int32_t width, int32_t height, Rgb fill = colourKey);

    int32_t Width() const { return width; }
    int32_t Height() const { return height; }
    Rgb At(int32_t x, int32_t y) const { return pixels[size_t(y) * width + x]; }
    bool IsKey(int32_t x, int32_t y) const { return At(x, y) == colourKey; }
    // Stores an art colour: never the key (see AvoidKey). Outside the image: ignored.
    void Set(int32_t x, int32_t y, Rgb c);
    void MakeTransparent(int32_t x, int32_t y);

    // Copies an ARGB32 surface to (left, top). Pixels covered less than half
    // become the key; the others take their colour divided by their coverage, so
    // no edge is blended toward the key.
    void CutFrom(cairo_surface_t* surface, int32_t left, int32_t top);
    // Copies an RGB24 surface to (left, top), every pixel opaque.
    void CopyOpaqueFrom(cairo_surface_t* surface, int32_t left, int32_t top);

    // A standard bitmap file: 14-byte header, 40-byte information header, 24 bits
    // per pixel, bottom row first, rows padded to a multiple of four bytes.
    std::vector<uint8_t> EncodeBmp() const;
    bool WriteBmp(const std::string& path) const;

private:
    int32_t width;
    int32_t height;
    std::vector<Rgb> pixels;
};

// Writes bytes to path; false when the file cannot be written completely.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
