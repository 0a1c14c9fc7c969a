// PixelFormat: how the display packs red, green and blue into a pixel, and the
// conversions between pixels and 8-bit channel values. PixelFormatRecord is the
// plain description the display hands over (pixel size and channel masks).
#pragma once

#include <cstdint>

class Surface;

// The display's own description of a pixel layout. Build one from an SDL pixel
// format with MakePixelFormatRecord; a zeroed record means "unknown".
struct PixelFormatRecord {
    uint32_t sdlFormat = 0;  // SDL_PixelFormatEnum value; 0 when built from masks alone
    uint32_t rgbBitCount = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    uint32_t alphaMask = 0;
};

// The record for an SDL_PixelFormatEnum value (SDL_PIXELFORMAT_RGB565 and so
// on). Unknown and indexed formats give their bit count with empty masks; a
// value SDL does not know gives a zeroed record.
PixelFormatRecord MakePixelFormatRecord(uint32_t sdlFormat);

// Values of PixelFormat::layout.
enum PixelLayout : int32_t {
    PixelLayoutOther = 0,
    PixelLayout555 = 1,  // 0x7C00, 0x3E0, 0x1F
    PixelLayout565 = 2,  // 0xF800, 0x7E0, 0x1F
    PixelLayout888 = 3,  // 0xFF0000, 0xFF00, 0xFF
};

class PixelFormat {
public:
    PixelFormat() = default;
    virtual ~PixelFormat() = default;

    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    // Each mask repeated in the four 16-bit lanes of a 64-bit word, so four
    // 16-bit pixels can be masked at once.
    uint64_t redMask4 = 0;
    uint64_t greenMask4 = 0;
    uint64_t blueMask4 = 0;
    int32_t redShift = 0;  // lowest set bit of the mask, 0 for an empty mask
    int32_t greenShift = 0;
    int32_t blueShift = 0;
    int32_t redLoss = 0;  // 8 minus the mask's bit count: low bits an 8-bit value loses
    int32_t greenLoss = 0;
    int32_t blueLoss = 0;
    int32_t bitsPerPixel = 0;
    PixelFormatRecord format;  // as last applied
    // 16.16 factors stretching a channel value to 0..255: 0xFF0000 / (2^bits - 1)
    // (5 bits: 539086, 6 bits: 265264, 8 bits: 65536); 0 for an empty mask.
    int32_t redScale = 0;
    int32_t greenScale = 0;
    int32_t blueScale = 0;
    int32_t layout = PixelLayoutOther;

    // Applies the pixel format of the surface's SDL surface (Surface::platformSurface).
    // A null surface, or one without an SDL surface, applies the zeroed record.
    void ReadFrom(Surface* surface);
    // Takes over a record. At 8 bits per pixel or fewer only `format` and
    // `bitsPerPixel` change: the display is palettised and the channel fields
    // keep their values.
    void SetFrom(const PixelFormatRecord& record);

    static int32_t LowestSetBit(uint32_t value);  // 0..31; 0 when no bit is set
    static int32_t CountBits(uint32_t value);

    // Channels 0..255 (values outside are clamped) to a pixel of this format;
    // nothing lands outside the channel masks.
    uint32_t Pack(int32_t red, int32_t green, int32_t blue) const;
    // A pixel's channel as 0..255; a full channel reads exactly 255, a channel
    // whose mask is empty reads 0.
    uint32_t RedOf(uint32_t pixel) const;
    uint32_t GreenOf(uint32_t pixel) const;
    uint32_t BlueOf(uint32_t pixel) const;
};
