// OpacityMask builders, blur and scale, and MaskedBlit through the mask's runs,
// checked pixel by pixel on small surfaces in the build's pixel layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/display/masked_blit.h"
#include "engine/display/opacity_mask.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

class OpacityMaskTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(screen.SetMemoryMode(64, 48), 0); }

    // A kind-6 surface whose pixels are given row by row.
    void Make(Surface& surface, int32_t width, const std::vector<uint16_t>& pixels) {
        const int32_t height = static_cast<int32_t>(pixels.size()) / width;
        ASSERT_EQ(surface.Create(&screen, SurfaceKindClientMemory, width, height), 0);
        for (int32_t i = 0; i < width * height; ++i) {
            At(surface, i % width, i / width) = pixels[i];
        }
    }

    uint16_t& At(Surface& surface, int32_t x, int32_t y) {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface.pixels) +
                                           y * surface.pitch)[x];
    }

    Screen screen;
};

#if KIVORO_PIXEL_565
constexpr uint16_t Red = 0xF800, Green = 0x07E0, Blue = 0x001F, White = 0xFFFF;
#else
constexpr uint16_t Red = 0x7C00, Green = 0x03E0, Blue = 0x001F, White = 0x7FFF;
#endif

}  // namespace

TEST_F(OpacityMaskTest, BuildsFromTheColourKeyRangeAndFromBrightness) {
    Surface surface;
    Make(surface, 5, {5, 7, 9, 12, 0, Red, Green, Blue, White, 0});
    surface.SetColorKeyRange(7, 9);
    OpacityMask mask(1, 1);
    mask.Encode(16);
    ASSERT_TRUE(mask.BuildFromColorKey(surface));
    EXPECT_FALSE(mask.RunsCurrent());
    EXPECT_EQ(mask.width, 5);
    EXPECT_EQ(mask.values, (std::vector<uint8_t>{255, 0, 0, 255, 255, 255, 255, 255, 255, 255}));
    surface.SetColorKey(0);
    ASSERT_TRUE(mask.BuildFromColorKey(surface));
    EXPECT_EQ(mask.values, (std::vector<uint8_t>{255, 255, 255, 255, 0, 255, 255, 255, 255, 0}));

    ASSERT_TRUE(mask.BuildFromBrightness(surface));
    EXPECT_EQ(mask.At(0, 1), 77);
    EXPECT_EQ(mask.At(1, 1), 149);
    EXPECT_EQ(mask.At(2, 1), 29);
    EXPECT_EQ(mask.At(3, 1), 255);
    EXPECT_EQ(mask.At(4, 1), 0);

    // Pixels that are not at hand are not read, and the mask stays as it was.
    Surface bare;
    EXPECT_FALSE(mask.BuildFromColorKey(bare));
    EXPECT_FALSE(mask.BuildFromBrightness(bare));
    EXPECT_EQ(mask.width, 5);
    EXPECT_EQ(mask.At(3, 1), 255);
}

TEST(OpacityMask, BoxBlurClampsAtTheEdgesForAnyRadius) {
    OpacityMask mask(4, 3);
    mask.values = {255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 90};
    mask.Blur(0);
    EXPECT_EQ(mask.At(0, 0), 255);
    // Across: row 0 becomes 170 85 0 0, row 2 0 0 30 60; then down each column.
    mask.Blur(1);
    EXPECT_EQ(mask.values, (std::vector<uint8_t>{113, 57, 0, 0, 57, 28, 10, 20, 0, 0, 20, 40}));

    // The window's cost does not depend on its width, and a uniform mask stays
    // uniform however far the edges repeat.
    OpacityMask even(3, 2);
    even.values.assign(6, 200);
    even.Blur(INT32_MAX);
    EXPECT_EQ(even.values, std::vector<uint8_t>(6, 200));
}

TEST(OpacityMask, ScalesToTheNearestPixelAsStretchToPicksIt) {
    OpacityMask mask(3, 2);
    mask.values = {10, 20, 30, 40, 50, 60};
    ASSERT_TRUE(mask.Scale(5, 3));
    EXPECT_EQ(mask.values,
              (std::vector<uint8_t>{10, 10, 20, 20, 30, 10, 10, 20, 20, 30, 40, 40, 50, 50, 60}));
    ASSERT_TRUE(mask.Scale(2, 1));
    EXPECT_EQ(mask.values, (std::vector<uint8_t>{10, 20}));
    // Sizes a mask cannot have are refused before anything is allocated.
    EXPECT_FALSE(mask.Scale(0, 4));
    EXPECT_FALSE(mask.Scale(maxSurfaceSide + 1, 1));
    EXPECT_FALSE(OpacityMask(0, 0).Scale(2, 2));
    EXPECT_EQ(mask.width, 2);
    EXPECT_EQ(OpacityMask(maxSurfaceSide + 1, 1).width, 0);
}

TEST_F(OpacityMaskTest, MaskedBlitCopiesOpaqueRunsAndBlendsTheRestWithinTheClip) {
    // Red-over-blue and white-over-blue at opacities 128 and 64, by channel:
    // (source * a + destination * (255 - a) + 127) / 255.
#if KIVORO_PIXEL_565
    constexpr uint16_t WhiteHalf = 0x841F;   // 16, 32, 31
    constexpr uint16_t RedQuarter = 0x4017;  // 8, 0, 23
#else
    constexpr uint16_t WhiteHalf = 0x421F;   // 16, 16, 31
    constexpr uint16_t RedQuarter = 0x2017;  // 8, 0, 23
#endif
    Surface source;
    Make(source, 3, {Red, White, Red, Red, Red, Red});
    source.CreateOpacityMask();
    source.opacityMask->values = {255, 128, 255, 64, 10, 255};
    Surface target;
    Make(target, 5, std::vector<uint16_t>(20, Blue));
    target.SetClipCopy(Rect{0, 0, 4, 4});

    ASSERT_TRUE(MaskedBlit(&source, &target, 2, 1));
    EXPECT_TRUE(source.flags & Surface::MaskEncoded);
    // Column 4 lies outside the clip; 10 is below the drawing threshold.
    const std::vector<uint16_t> expected = {
        Blue, Blue, Blue,       Blue,      Blue,  //
        Blue, Blue, Red,        WhiteHalf, Blue,  //
        Blue, Blue, RedQuarter, Blue,      Blue,  //
        Blue, Blue, Blue,       Blue,      Blue,
    };
    for (int32_t i = 0; i < 20; ++i) {
        EXPECT_EQ(At(target, i % 5, i / 5), expected[i]) << "pixel " << i % 5 << ", " << i / 5;
    }

    // Partly off the top-left corner: only the source's bottom-right reaches.
    ASSERT_TRUE(MaskedBlit(&source, &target, -2, -1));
    EXPECT_EQ(At(target, 0, 0), Red);
    EXPECT_EQ(At(target, 1, 0), Blue);

    Surface bare;
    EXPECT_FALSE(MaskedBlit(&source, &bare, 0, 0));
    EXPECT_FALSE(MaskedBlit(&source, &source, 0, 0));
    EXPECT_FALSE(MaskedBlit(&target, &source, 0, 0));  // no mask
}
