// PixelFormat: the figures SetFrom derives for the display layouts, channel
// conversions in both directions, and formats with unusual masks.
#include "engine/display/pixel_format.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

PixelFormat FormatFor(uint32_t sdlFormat) {
    PixelFormat format;
    format.SetFrom(MakePixelFormatRecord(sdlFormat));
    return format;
}

PixelFormatRecord MaskRecord(uint32_t bits, uint32_t red, uint32_t green, uint32_t blue) {
    PixelFormatRecord record;
    record.rgbBitCount = bits;
    record.redMask = red;
    record.greenMask = green;
    record.blueMask = blue;
    return record;
}

TEST(PixelFormatTest, FiveSixFiveFigures) {
    const PixelFormat format = FormatFor(SDL_PIXELFORMAT_RGB565);
    EXPECT_EQ(format.bitsPerPixel, 16);
    EXPECT_EQ(format.layout, PixelLayout565);
    EXPECT_EQ(format.redMask, 0xF800u);
    EXPECT_EQ(format.greenMask, 0x7E0u);
    EXPECT_EQ(format.blueMask, 0x1Fu);
    EXPECT_EQ(format.redShift, 11);
    EXPECT_EQ(format.greenShift, 5);
    EXPECT_EQ(format.blueShift, 0);
    EXPECT_EQ(format.redLoss, 3);
    EXPECT_EQ(format.greenLoss, 2);
    EXPECT_EQ(format.blueLoss, 3);
    EXPECT_EQ(format.redScale, 539086);
    EXPECT_EQ(format.greenScale, 265264);
    EXPECT_EQ(format.blueScale, 539086);
    EXPECT_EQ(format.redMask4, 0xF800F800F800F800ull);
    EXPECT_EQ(format.greenMask4, 0x07E007E007E007E0ull);
    EXPECT_EQ(format.format.sdlFormat, uint32_t{SDL_PIXELFORMAT_RGB565});
}

TEST(PixelFormatTest, FiveFiveFiveAndEightEightEightFigures) {
    const PixelFormat five = FormatFor(SDL_PIXELFORMAT_RGB555);
    EXPECT_EQ(five.bitsPerPixel, 16);  // SDL counts 15; the pixel takes 16
    EXPECT_EQ(five.layout, PixelLayout555);
    EXPECT_EQ(five.redShift, 10);
    EXPECT_EQ(five.greenShift, 5);
    EXPECT_EQ(five.blueShift, 0);
    EXPECT_EQ(five.redLoss, 3);
    EXPECT_EQ(five.greenLoss, 3);
    EXPECT_EQ(five.blueLoss, 3);

    const PixelFormat eight = FormatFor(SDL_PIXELFORMAT_RGB888);
    EXPECT_EQ(eight.bitsPerPixel, 32);
    EXPECT_EQ(eight.layout, PixelLayout888);
    EXPECT_EQ(eight.redShift, 16);
    EXPECT_EQ(eight.redLoss, 0);
    EXPECT_EQ(eight.redScale, 65536);

    // Same masks in another order match none of the known layouts.
    EXPECT_EQ(FormatFor(SDL_PIXELFORMAT_BGR565).layout, PixelLayoutOther);
}

TEST(PixelFormatTest, PalettisedFormatKeepsTheChannelFields) {
    PixelFormat format = FormatFor(SDL_PIXELFORMAT_RGB565);
    format.SetFrom(MakePixelFormatRecord(SDL_PIXELFORMAT_INDEX8));
    EXPECT_EQ(format.bitsPerPixel, 8);
    EXPECT_EQ(format.redMask, 0xF800u);
    EXPECT_EQ(format.greenLoss, 2);
    EXPECT_EQ(format.layout, PixelLayout565);
    EXPECT_EQ(format.format.sdlFormat, uint32_t{SDL_PIXELFORMAT_INDEX8});

    // Taking over its own record is allowed.
    format.SetFrom(format.format);
    EXPECT_EQ(format.bitsPerPixel, 8);
}

TEST(PixelFormatTest, ChannelsReadBackFromPixels) {
    const PixelFormat format = FormatFor(SDL_PIXELFORMAT_RGB565);
    EXPECT_EQ(format.RedOf(0xF800), 255u);
    EXPECT_EQ(format.RedOf(0xF000), 246u);
    EXPECT_EQ(format.RedOf(0x07FF), 0u);
    EXPECT_EQ(format.GreenOf(0x07E0), 255u);
    EXPECT_EQ(format.GreenOf(0x0020), 4u);  // 1 * 265264 >> 16
    EXPECT_EQ(format.BlueOf(0x001E), 246u);
    EXPECT_EQ(format.Pack(255, 255, 255), 0xFFFFu);
    EXPECT_EQ(format.Pack(8, 4, 8), 0x0821u);
    EXPECT_EQ(format.Pack(0, 0, 0), 0u);

    const PixelFormat five = FormatFor(SDL_PIXELFORMAT_RGB555);
    EXPECT_EQ(five.Pack(255, 255, 255), 0x7FFFu);
    EXPECT_EQ(five.GreenOf(five.Pack(0, 255, 0)), 255u);
    EXPECT_EQ(five.RedOf(five.Pack(255, 0, 0) | five.Pack(0, 255, 255)), 255u);
}

TEST(PixelFormatTest, OutOfRangeChannelsStayInTheirOwnBits) {
    const PixelFormat format = FormatFor(SDL_PIXELFORMAT_RGB565);
    EXPECT_EQ(format.Pack(300, 0, 0), 0xF800u);
    EXPECT_EQ(format.Pack(0, -5, 1000), 0x001Fu);
}

TEST(PixelFormatTest, EmptyChannelsReadZero) {
    const PixelFormat fresh;
    EXPECT_EQ(fresh.RedOf(0xFFFF), 0u);
    EXPECT_EQ(fresh.GreenOf(0), 0u);
    EXPECT_EQ(fresh.Pack(255, 255, 255), 0u);

    PixelFormat greyless;
    greyless.SetFrom(MaskRecord(16, 0xF800, 0, 0x1F));
    EXPECT_EQ(greyless.greenScale, 0);
    EXPECT_EQ(greyless.GreenOf(0xFFFF), 0u);
    EXPECT_EQ(greyless.RedOf(0xFFFF), 255u);
}

TEST(PixelFormatTest, WideMasksDoNotOverflow) {
    PixelFormat format;
    format.SetFrom(MaskRecord(32, 0xFFFFFFFF, 0, 0));
    EXPECT_EQ(format.redLoss, -24);
    EXPECT_EQ(format.redScale, 0);
    EXPECT_EQ(format.Pack(255, 0, 0), 0xFF000000u);
    EXPECT_EQ(format.RedOf(0xFFFFFFFF), 255u);

    format.SetFrom(MaskRecord(32, 0x3FF00000, 0xFFC00, 0x3FF));  // 10 bits per channel
    EXPECT_EQ(format.Pack(255, 255, 255), 0x3FCFF3FCu);
    EXPECT_EQ(format.BlueOf(0x3FE), 254u);
}

TEST(PixelFormatTest, BitHelpers) {
    EXPECT_EQ(PixelFormat::LowestSetBit(0), 0);
    EXPECT_EQ(PixelFormat::LowestSetBit(0x7E0), 5);
    EXPECT_EQ(PixelFormat::LowestSetBit(0x80000000u), 31);
    EXPECT_EQ(PixelFormat::CountBits(0x7E0), 6);
    EXPECT_EQ(PixelFormat::CountBits(0), 0);
    EXPECT_EQ(PixelFormat::CountBits(0xFFFFFFFFu), 32);
}

TEST(PixelFormatTest, ReadsTheLayoutOfASurface) {
    Screen screen;
    ASSERT_EQ(screen.SetMemoryMode(4, 4), 0);
    PixelFormat format;
    format.ReadFrom(screen.backSurface);
    EXPECT_EQ(format.bitsPerPixel, 16);
#if KIVORO_PIXEL_565
    EXPECT_EQ(format.layout, PixelLayout565);
#else
    EXPECT_EQ(format.layout, PixelLayout555);
#endif

    // Nothing to read: the zeroed record is applied.
    format.ReadFrom(nullptr);
    EXPECT_EQ(format.bitsPerPixel, 0);
    EXPECT_EQ(format.format.rgbBitCount, 0u);
    Surface bare;
    format.ReadFrom(&bare);
    EXPECT_EQ(format.bitsPerPixel, 0);
}

TEST(PixelFormatTest, UnknownSdlFormatGivesAZeroedRecord) {
    const PixelFormatRecord record = MakePixelFormatRecord(SDL_PIXELFORMAT_UNKNOWN);
    EXPECT_EQ(record.rgbBitCount, 0u);
    EXPECT_EQ(record.redMask, 0u);
    EXPECT_EQ(record.sdlFormat, 0u);
}

}  // namespace
