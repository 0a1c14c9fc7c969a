// BitmapImage: one bitmap (.BMP) file read into memory as top-row-first pixels,
// 24-bit files turned into 16-bit pixels on the way. Refuses, before allocating
// anything, every file it could not read safely.
#pragma once

#include <cstddef>
#include <cstdint>

// The two headers as the file stores them, little-endian and without padding.
// They are read field by field, so the host's byte order plays no part. The file
// header must be packed to stay 14 bytes; the information header's fields fall on
// their natural alignment, so it is 40 bytes as it stands and its fields can be
// bound to references like any others.
#pragma pack(push, 1)
struct BitmapFileHeader {
    uint16_t bfType = 0;  // 0x4D42, the characters "BM"
    uint32_t bfSize = 0;
    uint16_t bfReserved1 = 0;
    uint16_t bfReserved2 = 0;
    uint32_t bfOffBits = 0;  // not consulted: the image size decides where pixels start
};
#pragma pack(pop)

struct BitmapInfoHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // positive: rows stored bottom first
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;  // 8, 16 or 24 in the file; 16 after a 24-bit load
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

static_assert(sizeof(BitmapFileHeader) == 14);
static_assert(sizeof(BitmapInfoHeader) == 40);

// A colour table entry after loading: red, green, blue (swapped from the file's
// blue, green, red order) and flags, always 4.
struct BitmapPaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
};

class BitmapImage {
public:
    // Largest width or height accepted, in pixels.
    static constexpr int32_t maxSide = 16384;

    BitmapImage() = default;
    BitmapImage(const BitmapImage&) = delete;
    BitmapImage& operator=(const BitmapImage&) = delete;
    // Does not free `pixels`: whoever loads an image calls ReleasePixels.
    virtual ~BitmapImage() = default;

    BitmapFileHeader fileHeader;
    BitmapInfoHeader infoHeader;
    BitmapPaletteEntry palette[256] = {};  // filled for 8-bit files only
    // Owned, allocated with new[] (uint8_t); null after construction, after a
    // failed load and after ReleasePixels. biHeight rows of biWidth pixels, top row
    // first, no padding: uint16_t pixels for 16- and 24-bit files (read it as
    // uint16_t*), palette indices for 8-bit files.
    uint8_t* pixels = nullptr;

    // 1 when the file was read, 0 when not (pixels then null).
    int Load(const char* fileName);
    // The same from a whole file held in memory.
    int LoadFromMemory(const uint8_t* data, size_t size);
    // Turns the rows upside down. 0 when there are no pixels, no scratch memory, or
    // the header names a depth other than 8 or 16 bits.
    int FlipRows();
    // Rewrites biWidth x biHeight 16-bit pixels from 5-5-5 to 5-6-5 in place;
    // leaves any other depth alone.
    void ConvertTo565();
    void ReleasePixels();
};
