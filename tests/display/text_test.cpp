// Text on Surfaces: where it lands, its colours (0x00BBGGRR), the opaque and
// outlined forms, formatting, and the default face's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "engine/display/text_font.h"

namespace {

constexpr uint16_t backgroundPixel = 0x0421;

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (DefaultTextFont() == nullptr) {
            GTEST_SKIP() << "no font installed";
        }
        ASSERT_EQ(screen.SetMemoryMode(160, 60), 0);
        surface = screen.backSurface;
        surface->Fill(backgroundPixel);
        white = static_cast<uint16_t>(screen.pixelFormat->Pack(255, 255, 255));
    }

    uint16_t At(int32_t x, int32_t y) const {
        return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                                 y * surface->pitch)[x];
    }

    // Counts pixels with the value inside and outside the box (right and
    // bottom exclusive), and pixels that are neither the value nor the
    // background anywhere.
    void Census(uint16_t value, const Rect& box, int* inside, int* outside, int* other) const {
        *inside = *outside = *other = 0;
        for (int32_t y = 0; y < surface->height; ++y) {
            for (int32_t x = 0; x < surface->width; ++x) {
                const uint16_t p = At(x, y);
                const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
                if (p == value) {
                    ++(in ? *inside : *outside);
                } else if (p != backgroundPixel) {
                    ++*other;
                }
            }
        }
    }

    Screen screen;
    Surface* surface = nullptr;
    uint16_t white = 0;
};

}  // namespace

TEST_F(TextTest, DrawTextPutsWhitePixelsInsideItsBoxOnly) {
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_TRUE(MeasureTextRun(nullptr, "Health: 100", &width, &height));
    EXPECT_GT(width, 20);
    EXPECT_LE(height, defaultTextHeight);
    EXPECT_GE(height, defaultTextHeight - 4);
    EXPECT_EQ(surface->DrawText("Health: 100", 12, 9, 0xFFFFFF), 0);
    int inside = 0;
    int outside = 0;
    int other = 0;
    Census(white, Rect{12, 9, 12 + width, 9 + height}, &inside, &outside, &other);
    EXPECT_GT(inside, 30);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(other, 0);  // no blended edge pixels
}

TEST_F(TextTest, ColoursAreRedGreenBlueFromTheLowByteUp) {
    surface->DrawText("MMM", 0, 0, 0x0000FF);
    int red = 0;
    int outside = 0;
    int other = 0;
    Census(static_cast<uint16_t>(screen.pixelFormat->Pack(255, 0, 0)), Rect{0, 0, 160, 60}, &red,
           &outside, &other);
    EXPECT_GT(red, 10);
    EXPECT_EQ(other, 0);
}

TEST_F(TextTest, OpaqueTextFillsItsBoxWithTheBackgroundColour) {
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_TRUE(MeasureTextRun(nullptr, "FPS=60.", &width, &height));
    surface->DrawTextOpaque("FPS=60.", 100, 40, 0xFFFFFF, 0x000000);
    int white = 0;
    int outside = 0;
    int other = 0;
    Census(this->white, Rect{100, 40, 100 + width, 40 + height}, &white, &outside, &other);
    EXPECT_GT(white, 10);
    EXPECT_EQ(outside, 0);
    // Everything else in the box is black; the box is cut at the surface's edge.
    int black = 0;
    Census(0, Rect{100, 40, 100 + width, 40 + height}, &black, &outside, &other);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(white + black, std::min(width, 60) * std::min(height, 20));
}

TEST_F(TextTest, OutlinedTextHasTheOutlineAroundAndTheTextOnTop) {
    Surface plain;
    ASSERT_EQ(plain.Create(&screen, SurfaceKindClientMemory, 160, 60), 0);
    plain.Fill(backgroundPixel);
    plain.DrawText("Ki", 20, 20, 0xFFFFFF);
    surface->DrawTextOutlined("Ki", 20, 20, 0xFFFFFF, 0xFF0000);
    const uint16_t blue = static_cast<uint16_t>(screen.pixelFormat->Pack(0, 0, 255));
    int texts = 0;
    int outlines = 0;
    for (int32_t y = 1; y < 59; ++y) {
        for (int32_t x = 1; x < 159; ++x) {
            const auto plainAt = [&](int32_t px, int32_t py) {
                return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(plain.pixels) +
                                                         py * plain.pitch)[px];
            };
            const bool text = plainAt(x, y) == white;
            const bool neighbour = plainAt(x - 1, y) == white || plainAt(x + 1, y) == white ||
                                   plainAt(x, y - 1) == white || plainAt(x, y + 1) == white;
            if (text) {
                ASSERT_EQ(At(x, y), white);
                ++texts;
            } else if (neighbour) {
                ASSERT_EQ(At(x, y), blue);
                ++outlines;
            } else {
                ASSERT_EQ(At(x, y), backgroundPixel);
            }
        }
    }
    EXPECT_GT(texts, 10);
    EXPECT_GT(outlines, texts / 2);
}

TEST_F(TextTest, PrintTextFormatsAndCutsOverlongTexts) {
    Surface expected;
    ASSERT_EQ(expected.Create(&screen, SurfaceKindClientMemory, 160, 60), 0);
    expected.Fill(backgroundPixel);
    expected.DrawText("-12", 5, 5, 0xFFFFFF);
    surface->PrintText(5, 5, 0xFFFFFF, nullptr, "%d", -12);
    EXPECT_EQ(std::memcmp(surface->pixels, expected.pixels,
                          static_cast<size_t>(surface->pitch) * surface->height),
              0);
    const std::string longText(5000, 'W');
    EXPECT_EQ(surface->PrintTextOpaque(0, 0, 0xFFFFFF, 0, nullptr, "%s%s", longText.c_str(), "x"),
              0);
    EXPECT_EQ(surface->PrintTextOutlined(-3000, -10, 0xFFFFFF, 0, nullptr, "%s", "clipped"), 0);
    EXPECT_EQ(surface->DrawText(nullptr, 0, 0, 0xFFFFFF), 0);
    EXPECT_EQ(surface->DrawText("", 0, 0, 0xFFFFFF), 0);
}

TEST_F(TextTest, LockedSurfaceGetsNoText) {
    Surface locked;
    ASSERT_EQ(locked.Create(&screen, SurfaceKindSystem, 40, 20), 0);
    locked.Fill(backgroundPixel);
    ASSERT_EQ(locked.Lock(), 0);
    EXPECT_EQ(locked.DrawText("x", 0, 0, 0xFFFFFF), 0);
    const auto* row = static_cast<const uint16_t*>(locked.pixels);
    for (int32_t x = 0; x < 20; ++x) {
        EXPECT_EQ(row[x + 5 * locked.pitch / 2], backgroundPixel);
    }
    locked.Unlock();
}

TEST(TextFont, NamedFacesFallBackToAnInstalledFace) {
    TextFont font = OpenTextFont("No Such Face At All", 30);
    if (DefaultTextFont() == nullptr) {
        EXPECT_EQ(font, nullptr);
        return;
    }
    ASSERT_NE(font, nullptr);
    int32_t width = 0;
    int32_t height = 0;
    EXPECT_TRUE(MeasureTextRun(font, "Kivoro", &width, &height));
    EXPECT_LE(height, 30);
    EXPECT_GT(height, defaultTextHeight);
    CloseTextFont(font);
    EXPECT_FALSE(MeasureTextRun(nullptr, "", &width, &height));
    EXPECT_EQ(width, 0);
}
