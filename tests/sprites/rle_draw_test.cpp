// RleSprite drawing into a small surface, compared with the picture worked out
// pixel by pixel from the sprite's art: clipping on every edge, both cuts at once,
// mirroring, literal rows, the unclipped variants.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "tests/sprites/rle_test_art.h"

namespace {

using test_art::Art;
using test_art::mixed;

constexpr uint16_t background = 0xBEEF;

// A Screen whose back surface is a 24 x 16 pixel buffer with rows 26 pixels apart,
// sized exactly, so that a write outside it is caught by the address sanitizer.
class DrawTest : public ::testing::Test {
protected:
    static constexpr int32_t surfaceWidth = 24;
    static constexpr int32_t surfaceHeight = 16;
    static constexpr int32_t surfaceStride = 26;

    DrawTest() : memory(static_cast<size_t>(surfaceStride) * surfaceHeight, background) {
        surface.width = surfaceWidth;
        surface.height = surfaceHeight;
        surface.pitch = surfaceStride * 2;
        surface.pixels = memory.data();
        screen.backSurface = &surface;
        screen.clip = Rect{0, 0, surfaceWidth - 1, surfaceHeight - 1};
    }
    ~DrawTest() override {
        // The buffer is the test's own: neither the Surface nor the Screen frees it.
        surface.pixels = nullptr;
        screen.backSurface = nullptr;
    }

    void Clear() { std::fill(memory.begin(), memory.end(), background); }

    // The buffer as drawing art at (x, y) should leave a cleared one.
    std::vector<uint16_t> Expected(const Art& art, int32_t x, int32_t y, bool mirrored,
                                   bool literal, const Rect& window) const {
        std::vector<uint16_t> pixels(memory.size(), background);
        for (int32_t r = 0; r < art.Height(); ++r) {
            for (int32_t c = 0; c < art.Width(); ++c) {
                const int64_t sx = int64_t{x} + (mirrored ? art.Width() - 1 - c : c);
                const int64_t sy = int64_t{y} + r;
                if ((literal || !art.IsKey(c, r)) && sx >= window.left && sx <= window.right &&
                    sy >= window.top && sy <= window.bottom && sx >= 0 && sx < surfaceWidth &&
                    sy >= 0 && sy < surfaceHeight) {
                    pixels[sy * surfaceStride + sx] = art.Pixel(c, r);
                }
            }
        }
        return pixels;
    }

    uint16_t At(int32_t x, int32_t y) const { return memory[y * surfaceStride + x]; }

    // Draws the art at every position from wholly outside the window on the left
    // and top to wholly outside on the right and bottom, plain and mirrored.
    void SweepAgainstArt(const Art& art, int32_t mode, const Rect& clip) {
        RleSprite sprite;
        sprite.screen = &screen;
        ASSERT_TRUE(test_art::Encode(sprite, art, mode));
        screen.clip = clip;
        for (bool mirrored : {false, true}) {
            for (int32_t y = clip.top - art.Height() - 1; y <= clip.bottom + 2; ++y) {
                for (int32_t x = clip.left - art.Width() - 1; x <= clip.right + 2; ++x) {
                    Clear();
                    if (mirrored) {
                        sprite.DrawMirrored(x, y);
                    } else {
                        sprite.Draw(x, y);
                    }
                    ASSERT_EQ(memory, Expected(art, x, y, mirrored, mode != 1, clip))
                        << (mirrored ? "mirrored" : "plain") << " mode " << mode << " at " << x
                        << "," << y << " clip " << clip.left << "," << clip.top << "," << clip.right
                        << "," << clip.bottom;
                }
            }
        }
    }

    std::vector<uint16_t> memory;
    Surface surface;
    Screen screen;
};

TEST_F(DrawTest, ClippedDrawsMatchTheArtAtEveryPlacement) {
    for (int32_t mode : {1, 0}) {
        SweepAgainstArt(mixed, mode, Rect{3, 2, 20, 13});
        // Narrower than the sprite: both cuts in force together.
        SweepAgainstArt(mixed, mode, Rect{6, 3, 14, 9});
        SweepAgainstArt(mixed, mode, Rect{9, 5, 9, 5});
        SweepAgainstArt(mixed, mode, Rect{0, 0, surfaceWidth - 1, surfaceHeight - 1});
    }
    SweepAgainstArt(test_art::Crater(11), 1, Rect{2, 1, 9, 12});
}

// A disc in a larger cell, like a blast's: the blank rows above and below are
// found by the encoder and never walked, and a draw wholly inside the window
// copies whole segments; every placement still matches the art.
TEST_F(DrawTest, BlankRowsAboveAndBelowArePassedOverAtEveryPlacement) {
    const Art disc{{
        "..........",
        "..........",
        "....AB....",
        "..CDEFGH..",
        ".IJKLMNOP.",
        "..QRSTUV..",
        "....WX....",
        "..........",
        "..........",
        "..........",
    }};
    RleSprite sprite;
    sprite.screen = &screen;
    ASSERT_TRUE(test_art::Encode(sprite, disc, 1));
    EXPECT_EQ(sprite.blankTop, 2);
    EXPECT_EQ(sprite.blankBottom, 3);
    // Rows walked are still counted over the whole cell.
    EXPECT_EQ(sprite.DrawUnclipped(2, 3), 10);
    SweepAgainstArt(disc, 1, Rect{3, 2, 20, 13});
    SweepAgainstArt(disc, 1, Rect{5, 4, 9, 8});

    const Art blank{{"....", "...."}};
    ASSERT_TRUE(test_art::Encode(sprite, blank, 1));
    EXPECT_EQ(sprite.blankTop, 2);
    EXPECT_EQ(sprite.blankBottom, 0);
    SweepAgainstArt(blank, 1, Rect{3, 2, 20, 13});
}

// Terrain-tile-sized sprites take their own path when wholly inside the window.
TEST_F(DrawTest, TileSizedSpritesMatchTheArtAtEveryPlacement) {
    const Art tile{{
        "ABCDEFGH",
        "IJ..KL.M",
        "........",
        "NOPQRSTU",
        ".VWXYZab",
        "cdefghi.",
        "j.k.l.m.",
        "nopqrstu",
    }};
    for (int32_t mode : {1, 0}) {
        SweepAgainstArt(tile, mode, Rect{3, 2, 20, 13});
        SweepAgainstArt(tile, mode, Rect{5, 4, 9, 8});
    }
}

// A clip rectangle reaching past the surface (the rectangle a mode set leaves is
// one pixel too large) must not let a draw write outside the pixel memory.
TEST_F(DrawTest, ClipLargerThanTheSurfaceStaysOnTheSurface) {
    SweepAgainstArt(mixed, 1, Rect{0, 0, surfaceWidth, surfaceHeight});
    SweepAgainstArt(mixed, 0, Rect{-3, -2, surfaceWidth + 2, surfaceHeight + 1});
}

TEST_F(DrawTest, EdgeRowsAndColumnsOfTheInclusiveClip) {
    const Art block{{"ABC", "DEF"}};
    RleSprite sprite;
    sprite.screen = &screen;
    ASSERT_TRUE(test_art::Encode(sprite, block, 0));
    screen.clip = Rect{5, 4, 10, 8};

    sprite.Draw(3, 3);  // last row on the top edge, last column on the left edge
    EXPECT_EQ(At(4, 4), background);
    EXPECT_EQ(At(5, 4), 'F');
    EXPECT_EQ(At(5, 3), background);

    Clear();
    sprite.Draw(10, 8);  // first pixel on the bottom-right corner, nothing else
    EXPECT_EQ(At(10, 8), 'A');
    EXPECT_EQ(memory, Expected(block, 10, 8, false, true, screen.clip));

    Clear();
    sprite.Draw(7, 9);   // first row just below the bottom edge
    sprite.Draw(11, 5);  // first column just right of the right edge
    EXPECT_EQ(memory, std::vector<uint16_t>(memory.size(), background));
}

TEST_F(DrawTest, MirroringReversesEachRowInTheSameBox) {
    const Art row{{"AB."}};
    RleSprite sprite;
    sprite.screen = &screen;
    ASSERT_TRUE(test_art::Encode(sprite, row));
    sprite.DrawMirrored(4, 2);
    EXPECT_EQ(At(4, 2), background);
    EXPECT_EQ(At(5, 2), 'B');
    EXPECT_EQ(At(6, 2), 'A');

    // Cut at the left, the mirror image loses the sprite's last columns.
    const Art wide{{"ABCD"}};
    ASSERT_TRUE(test_art::Encode(sprite, wide));
    Clear();
    screen.clip = Rect{3, 0, 20, 10};
    sprite.DrawMirrored(1, 0);
    EXPECT_EQ(At(2, 0), background);
    EXPECT_EQ(At(3, 0), 'B');
    EXPECT_EQ(At(4, 0), 'A');
}

TEST_F(DrawTest, UnclippedDrawsIgnoreTheClipButNotTheSurface) {
    RleSprite sprite;
    sprite.screen = &screen;
    ASSERT_TRUE(test_art::Encode(sprite, mixed));
    const Rect whole{0, 0, surfaceWidth - 1, surfaceHeight - 1};
    screen.clip = Rect{8, 8, 9, 9};

    EXPECT_EQ(sprite.DrawUnclipped(2, 3), mixed.Height());
    EXPECT_EQ(memory, Expected(mixed, 2, 3, false, false, whole));
    Clear();
    EXPECT_EQ(sprite.DrawMirroredUnclipped(surfaceWidth - 13, surfaceHeight - 6), mixed.Height());
    EXPECT_EQ(memory, Expected(mixed, surfaceWidth - 13, surfaceHeight - 6, true, false, whole));

    // A position off the surface is cut to it rather than written out of bounds.
    Clear();
    EXPECT_EQ(sprite.DrawUnclipped(-4, surfaceHeight - 2), 2);
    EXPECT_EQ(memory, Expected(mixed, -4, surfaceHeight - 2, false, false, whole));
    Clear();
    EXPECT_EQ(sprite.DrawMirroredUnclipped(surfaceWidth - 3, -5), 1);
    EXPECT_EQ(memory, Expected(mixed, surfaceWidth - 3, -5, true, false, whole));
}

TEST_F(DrawTest, NothingIsDrawnWithoutDataScreenOrPixels) {
    RleSprite empty;
    empty.Bind(&screen, 4, 4);
    empty.Draw(0, 0);
    empty.DrawMirrored(0, 0);
    EXPECT_EQ(empty.DrawUnclipped(0, 0), 0);
    EXPECT_EQ(empty.DrawMirroredUnclipped(0, 0), 0);

    RleSprite sprite;
    ASSERT_TRUE(test_art::Encode(sprite, mixed));
    sprite.Draw(0, 0);  // not bound to a Screen
    sprite.screen = &screen;
    for (int32_t far : {INT32_MIN, -70000, 70000, INT32_MAX}) {
        sprite.Draw(far, 0);
        sprite.DrawMirrored(0, far);
        sprite.DrawUnclipped(far, far);
    }
    surface.pitch = 0;
    sprite.Draw(0, 0);
    screen.backSurface = nullptr;
    sprite.Draw(0, 0);
    EXPECT_EQ(memory, std::vector<uint16_t>(memory.size(), background));
}

// Every length through a few groups of four, and the pixel after the span untouched.
TEST(CopyReversed, WritesTheSourceBackwards) {
    for (int32_t n = 1; n <= 13; ++n) {
        std::vector<uint16_t> source(n);
        for (int32_t k = 0; k < n; ++k) {
            source[k] = static_cast<uint16_t>(0x100 + k);
        }
        std::vector<uint16_t> target(n + 1, 9);
        CopyReversed(target.data(), source.data(), n);
        for (int32_t k = 0; k < n; ++k) {
            ASSERT_EQ(target[k], source[n - 1 - k]) << "n " << n << " k " << k;
        }
        EXPECT_EQ(target[n], 9);
    }
}

}  // namespace
