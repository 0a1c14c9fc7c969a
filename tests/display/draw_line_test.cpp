// Surface::DrawLine on small memory surfaces: the blended pixel pairs of the
// 16.16 stepping, clipping at the exclusive right and bottom edges, and the
// cases where it must write nothing.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

class DrawLineTest : public ::testing::Test {
protected:
    static constexpr int32_t width = 8;
    static constexpr int32_t height = 4;

    void SetUp() override {
        ASSERT_EQ(screen.SetMemoryMode(width, height), 0);
        surface = screen.backSurface;
        ASSERT_NE(surface, nullptr);
        ASSERT_NE(surface->pixels, nullptr);
        format = screen.pixelFormat;
        white = static_cast<uint16_t>(format->Pack(255, 255, 255));
        Clear(0);
    }

    void Clear(uint16_t value) {
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                At(x, y) = value;
            }
        }
    }

    uint16_t& At(int32_t x, int32_t y) {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface->pixels) +
                                           y * surface->pitch)[x];
    }

    uint16_t Grey(int32_t level) {
        return static_cast<uint16_t>(format->Pack(level, level, level));
    }

    std::vector<uint16_t> Picture() {
        std::vector<uint16_t> picture;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                picture.push_back(At(x, y));
            }
        }
        return picture;
    }

    Screen screen;
    Surface* surface = nullptr;
    PixelFormat* format = nullptr;
    uint16_t white = 0;
};

TEST_F(DrawLineTest, SinglePointTakesTheColourAndSparesItsRightNeighbour) {
    const uint16_t background = Grey(128);
    Clear(background);
    surface->DrawLine(2, 1, 2, 1, white);
    // 255/256 of the colour plus 1/256 of the old pixel: full white again.
    EXPECT_EQ(At(2, 1), white);
    // The second pixel of the pair gets colour weight 0.
    EXPECT_EQ(At(3, 1), background);
    int32_t changed = 0;
    for (uint16_t pixel : Picture()) {
        changed += pixel != background;
    }
    EXPECT_EQ(changed, 1);
}

TEST_F(DrawLineTest, HalfStepsSplitTheColourOverTwoRows) {
    // x-major, dy/dx = 1/2: every other column sits halfway between two rows.
    surface->DrawLine(0, 0, 4, 2, white);
    EXPECT_EQ(At(0, 0), white);
    EXPECT_EQ(At(0, 1), 0);
    EXPECT_EQ(At(1, 0), Grey(126));  // 127/256 of white
    EXPECT_EQ(At(1, 1), Grey(127));  // 128/256 of white
    EXPECT_EQ(At(2, 1), white);
    EXPECT_EQ(At(3, 1), Grey(126));
    EXPECT_EQ(At(3, 2), Grey(127));
    EXPECT_EQ(At(4, 2), white);
    EXPECT_EQ(At(4, 3), 0);
    EXPECT_EQ(At(5, 2), 0);
    EXPECT_EQ(At(2, 0), 0);

    // The same line drawn from its other end gives the same picture.
    const std::vector<uint16_t> forward = Picture();
    Clear(0);
    surface->DrawLine(4, 2, 0, 0, white);
    EXPECT_EQ(Picture(), forward);
}

TEST_F(DrawLineTest, YMajorBlendsIntoTheNextColumn) {
    surface->DrawLine(1, 0, 2, 2, white);  // dx/dy = 1/2
    EXPECT_EQ(At(1, 0), white);
    EXPECT_EQ(At(1, 1), Grey(126));
    EXPECT_EQ(At(2, 1), Grey(127));
    EXPECT_EQ(At(2, 2), white);
    EXPECT_EQ(At(1, 2), 0);
    EXPECT_EQ(At(1, 3), 0);
}

TEST_F(DrawLineTest, LastClipRowAndColumnKeepTheirNeighboursOut) {
    // From row 1 creeping toward row 2: the lower pixel of each pair is row 2.
    screen.clip = Rect{0, 0, width, 2};
    surface->DrawLine(0, 1, 7, 2, white);
    for (int32_t x = 0; x < width; ++x) {
        EXPECT_EQ(At(x, 2), 0) << x;
    }
    EXPECT_EQ(At(0, 1), white);
    EXPECT_NE(At(6, 1), 0);
    // With the row inside the clip rectangle the same line does reach it.
    screen.clip = Rect{0, 0, width, height};
    Clear(0);
    surface->DrawLine(0, 1, 7, 2, white);
    EXPECT_NE(At(7, 2), 0);

    // A steep line in the last clip column leaves the column to its right alone.
    screen.clip = Rect{0, 0, 3, height};
    Clear(0);
    surface->DrawLine(2, 0, 3, 3, white);
    for (int32_t y = 0; y < height; ++y) {
        EXPECT_EQ(At(3, y), 0) << y;
    }
    EXPECT_NE(At(2, 2), 0);
}

TEST_F(DrawLineTest, ClipLargerThanTheSurfaceStaysInside) {
    screen.clip = Rect{-1000, -1000, 1000, 1000};
    surface->DrawLine(-50, -20, 60, 30, white);
    surface->DrawLine(width - 1, 0, width - 1, height + 5, white);
    surface->DrawLine(INT32_MIN, 0, INT32_MAX, 1, white);
    surface->DrawLine(0, INT32_MIN, 1, INT32_MAX, white);
    EXPECT_EQ(At(width - 1, height - 1), white);
    EXPECT_NE(At(0, 0), 0);
}

TEST_F(DrawLineTest, WritesNothingWhereItMayNot) {
    // Outside the clip rectangle.
    screen.clip = Rect{4, 0, width, height};
    surface->DrawLine(0, 0, 3, 3, white);
    screen.clip = Rect{0, 0, width, height};
    EXPECT_EQ(Picture(), std::vector<uint16_t>(width * height, 0));

    // A display that is not 16 bits per pixel.
    format->bitsPerPixel = 32;
    surface->DrawLine(0, 0, 7, 3, white);
    format->bitsPerPixel = 16;
    EXPECT_EQ(Picture(), std::vector<uint16_t>(width * height, 0));

    // A surface that must be locked first.
    Surface locked;
    ASSERT_EQ(locked.Create(&screen, SurfaceKindSystem, width, height), 0);
    ASSERT_EQ(locked.Lock(), 0);
    ASSERT_NE(locked.pixels, nullptr);
    std::memset(locked.pixels, 0, static_cast<size_t>(locked.pitch) * height);
    ASSERT_EQ(locked.Unlock(), 0);
    locked.DrawLine(0, 0, 3, 0, white);
    ASSERT_EQ(locked.Lock(), 0);
    EXPECT_EQ(static_cast<uint16_t*>(locked.pixels)[3], 0);
    locked.DrawLine(0, 0, 3, 0, white);
    EXPECT_EQ(static_cast<uint16_t*>(locked.pixels)[3], white);
    EXPECT_EQ(locked.Unlock(), 0);

    // A Surface without a Screen.
    Surface bare;
    bare.DrawLine(0, 0, 1, 1, white);
}

}  // namespace
