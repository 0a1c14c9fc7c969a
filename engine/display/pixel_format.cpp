// PixelFormat: applying a format record (from SDL's pixel formats) and
// converting between pixels and 8-bit channels.
#include "engine/display/pixel_format.h"

#include <SDL.h>

#include <bit>

#include "engine/display/surface.h"

PixelFormatRecord MakePixelFormatRecord(uint32_t sdlFormat) {
    PixelFormatRecord record;
    int bits = 0;
    Uint32 red = 0, green = 0, blue = 0, alpha = 0;
    if (sdlFormat == SDL_PIXELFORMAT_UNKNOWN ||
        SDL_PixelFormatEnumToMasks(sdlFormat, &bits, &red, &green, &blue, &alpha) != SDL_TRUE) {
        return record;
    }
    record.sdlFormat = sdlFormat;
    // The pixel's size in memory: SDL counts 5-5-5 as 15 bits and 8-8-8 with
    // padding as 24, where a pixel takes 16 and 32 bits.
    record.rgbBitCount = SDL_ISPIXELFORMAT_INDEXED(sdlFormat)
                             ? static_cast<uint32_t>(bits)
                             : static_cast<uint32_t>(SDL_BYTESPERPIXEL(sdlFormat)) * 8;
    record.redMask = red;
    record.greenMask = green;
    record.blueMask = blue;
    record.alphaMask = alpha;
    return record;
}

namespace {

constexpr uint64_t laneRepeat = 0x0001000100010001ull;

int32_t ScaleFor(uint32_t mask) {
    const int32_t bits = PixelFormat::CountBits(mask);
    if (bits == 0) {
        return 0;
    }
    // 64-bit so that a 32-bit mask does not overflow 2^bits - 1.
    return static_cast<int32_t>(0xFF0000ull / ((1ull << bits) - 1));
}

// An 8-bit channel value narrowed (or, for masks wider than 8 bits, widened) by `loss`.
uint32_t Narrow(int32_t value, int32_t loss) {
    const uint32_t v = static_cast<uint32_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    return loss >= 0 ? v >> loss : v << -loss;
}

uint32_t Expand(uint32_t pixel, uint32_t mask, int32_t shift, int32_t scale) {
    if (mask == 0) {
        return 0;
    }
    const uint32_t bits = pixel & mask;
    if (bits == mask) {
        return 255;
    }
    return ((bits >> shift) * static_cast<uint32_t>(scale)) >> 16;
}

}  // namespace

void PixelFormat::ReadFrom(Surface* surface) {
    PixelFormatRecord record;
    if (surface != nullptr && surface->platformSurface != nullptr &&
        surface->platformSurface->format != nullptr) {
        const SDL_PixelFormat& sdl = *surface->platformSurface->format;
        record.sdlFormat = sdl.format;
        record.rgbBitCount = SDL_ISPIXELFORMAT_INDEXED(sdl.format)
                                 ? sdl.BitsPerPixel
                                 : static_cast<uint32_t>(sdl.BytesPerPixel) * 8;
        record.redMask = sdl.Rmask;
        record.greenMask = sdl.Gmask;
        record.blueMask = sdl.Bmask;
        record.alphaMask = sdl.Amask;
    }
    SetFrom(record);
}

void PixelFormat::SetFrom(const PixelFormatRecord& record) {
    if (&record != &format) {
        format = record;
    }
    bitsPerPixel = static_cast<int32_t>(format.rgbBitCount);
    if (bitsPerPixel > 8) {
        redMask = format.redMask;
        greenMask = format.greenMask;
        blueMask = format.blueMask;
        redShift = LowestSetBit(redMask);
        greenShift = LowestSetBit(greenMask);
        blueShift = LowestSetBit(blueMask);
        redLoss = 8 - CountBits(redMask);
        greenLoss = 8 - CountBits(greenMask);
        blueLoss = 8 - CountBits(blueMask);
        layout = PixelLayoutOther;
        if (redMask == 0x7C00 && greenMask == 0x3E0 && blueMask == 0x1F) {
            layout = PixelLayout555;
        } else if (redMask == 0xF800 && greenMask == 0x7E0 && blueMask == 0x1F) {
            layout = PixelLayout565;
        } else if (redMask == 0xFF0000 && greenMask == 0xFF00 && blueMask == 0xFF) {
            layout = PixelLayout888;
        }
    }
    redMask4 = redMask * laneRepeat;
    greenMask4 = greenMask * laneRepeat;
    blueMask4 = blueMask * laneRepeat;
    redScale = ScaleFor(redMask);
    greenScale = ScaleFor(greenMask);
    blueScale = ScaleFor(blueMask);
}

int32_t PixelFormat::LowestSetBit(uint32_t value) {
    return value == 0 ? 0 : std::countr_zero(value);
}

int32_t PixelFormat::CountBits(uint32_t value) {
    return std::popcount(value);
}

uint32_t PixelFormat::Pack(int32_t red, int32_t green, int32_t blue) const {
    // The masks only matter for a format never set up, whose channels are empty.
    return ((Narrow(red, redLoss) << redShift) & redMask) |
           ((Narrow(green, greenLoss) << greenShift) & greenMask) |
           ((Narrow(blue, blueLoss) << blueShift) & blueMask);
}

uint32_t PixelFormat::RedOf(uint32_t pixel) const {
    return Expand(pixel, redMask, redShift, redScale);
}

uint32_t PixelFormat::GreenOf(uint32_t pixel) const {
    return Expand(pixel, greenMask, greenShift, greenScale);
}

uint32_t PixelFormat::BlueOf(uint32_t pixel) const {
    return Expand(pixel, blueMask, blueShift, blueScale);
}
