// The five sprite sheets as files: standard bitmaps of the right sizes, one colour
// key that no art colour reaches, fighters in their frame order with the hands at
// the launch points, centred growing blasts, seamless dirt and a centred reticle.
// Where the art must agree with the game, the numbers come from the game's own
// art layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "rules/art_layout.h"
#include "tests/assets/asset_files.h"

using namespace assettest;

namespace {

struct SheetSize {
    const char* name;
    int width;
    int height;
};

constexpr SheetSize sheets[] = {{"TORVIK.BMP", 240, 144},
                                {"MELSAR.BMP", 240, 96},
                                {"DIRT.BMP", 64, 64},
                                {"BLAST.BMP", 378, 54},
                                {"TARGET.BMP", 21, 21}};

// Opaque pixels of one 48 x 48 fighter cell, in frame order.
std::vector<bool> FighterMask(const Picture& sheet, int frame) {
    std::vector<bool> mask(48 * 48);
    int left = (frame % 5) * 48;
    int top = (frame / 5) * 48;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            mask[y * 48 + x] = !sheet.IsKey(left + x, top + y);
        }
    }
    return mask;
}

int Count(const std::vector<bool>& mask) {
    int n = 0;
    for (bool b : mask) {
        n += b ? 1 : 0;
    }
    return n;
}

// Share of pixels opaque in one mask but not the other, relative to their union.
double Difference(const std::vector<bool>& a, const std::vector<bool>& b) {
    int either = 0;
    int differ = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        either += (a[i] || b[i]) ? 1 : 0;
        differ += (a[i] != b[i]) ? 1 : 0;
    }
    return either != 0 ? double(differ) / either : 0;
}

TEST(SheetFiles, AreUncompressed24BitBitmapsWithPaddedRowsAndTheirSizes) {
    for (const SheetSize& s : sheets) {
        SCOPED_TRACE(s.name);
        std::vector<uint8_t> b = ReadBytes(AssetPath(s.name));
        ASSERT_GE(b.size(), 54u);
        size_t rowBytes = (size_t(s.width) * 3 + 3) & ~size_t(3);
        EXPECT_EQ(U32(b, 2), b.size());
        EXPECT_EQ(U32(b, 10), 54u);
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(int32_t(U32(b, 18)), s.width);
        EXPECT_EQ(int32_t(U32(b, 22)), s.height);  // positive: bottom row first
        EXPECT_EQ(U16(b, 26), 1u);
        EXPECT_EQ(U16(b, 28), 24u);
        EXPECT_EQ(U32(b, 30), 0u);
        EXPECT_EQ(U32(b, 34), rowBytes * s.height);
        EXPECT_EQ(b.size(), 54 + rowBytes * s.height);
        EXPECT_TRUE(Picture::Read(s.name).valid);
    }
}

TEST(SheetFiles, ShareOneKeyThatNoArtColourTurnsIntoInEitherLayout) {
    Picture first = Picture::Read("TORVIK.BMP");
    ASSERT_TRUE(first.valid);
    EXPECT_EQ(first.At(0, 0), magenta);
    for (const SheetSize& s : sheets) {
        SCOPED_TRACE(s.name);
        Picture p = Picture::Read(s.name);
        ASSERT_TRUE(p.valid);
        int transparent = 0;
        for (const Rgb& c : p.pixels) {
            if (c == magenta) {
                ++transparent;
                continue;
            }
            ASSERT_NE(To555(c), To555(magenta)) << int(c.r) << "," << int(c.g) << "," << int(c.b);
            ASSERT_NE(To565(c), To565(magenta));
            // Art blended toward the key leaves a magenta-tinged fringe around the
            // sprites: red and blue alike and well above green.
            bool fringe = c.r > 100 && c.b > 100 && std::abs(c.r - c.b) < 50 &&
                          c.g * 2 + 40 < std::min(c.r, c.b);
            ASSERT_FALSE(fringe) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        }
        if (std::string(s.name) == "DIRT.BMP") {
            EXPECT_EQ(transparent, 0) << "a key pixel in the dirt shows as a hole";
        } else {
            EXPECT_GT(transparent, 0);
        }
    }
}

TEST(FighterSheets, HoldEveryFrameDistinctWithTheHandsAtTheLaunchPoint) {
    struct Fighter {
        const char* name;
        int frames;
        LaunchPoint launch;
        std::vector<int> launchFrames;
    };
    const Fighter fighters[] = {{"TORVIK.BMP", firstFighterFrameCount, firstLaunchPoint, {10, 11}},
                                {"MELSAR.BMP", secondFighterFrameCount, secondLaunchPoint, {6, 7}}};
    for (const Fighter& f : fighters) {
        SCOPED_TRACE(f.name);
        Picture sheet = Picture::Read(f.name);
        ASSERT_TRUE(sheet.valid);
        std::vector<std::vector<bool>> masks;
        for (int i = 0; i < f.frames; ++i) {
            masks.push_back(FighterMask(sheet, i));
            EXPECT_GT(Count(masks.back()), 150) << "frame " << i << " is nearly empty";
        }
        for (int i = 0; i < f.frames; ++i) {
            for (int j = i + 1; j < f.frames; ++j) {
                // The first fighter's hover cycle (0, 1, 2, and 7, a spare copy of 0)
                // moves gently; every other pair of poses differs plainly.
                auto hover = [&](int k) { return f.frames == 14 && (k <= 2 || k == 7); };
                double least = hover(i) && hover(j) ? 0.04 : 0.1;
                if (!(i == 0 && j == 7 && f.frames == 14)) {
                    EXPECT_GT(Difference(masks[i], masks[j]), least) << "frames " << i << ", " << j;
                }
            }
        }
        for (int frame : f.launchFrames) {
            Rgb c = sheet.At((frame % 5) * 48 + f.launch.x, (frame / 5) * 48 + f.launch.y);
            EXPECT_NE(c, magenta) << "frame " << frame;
            EXPECT_GT(c.Luma(), 170) << "frame " << frame << " shows no ki at the hands";
        }
    }
    // Cells past the last frame stay empty.
    Picture torvik = Picture::Read("TORVIK.BMP");
    EXPECT_EQ(Count(FighterMask(torvik, 14)), 0);
}

TEST(FighterSheets, DrawTwoDifferentCharacters) {
    Picture a = Picture::Read("TORVIK.BMP");
    Picture b = Picture::Read("MELSAR.BMP");
    ASSERT_TRUE(a.valid && b.valid);
    auto meanColour = [](const Picture& p, int frames) {
        double sum[3] = {0, 0, 0};
        int n = 0;
        for (int i = 0; i < frames; ++i) {
            for (int y = 0; y < 48; ++y) {
                for (int x = 0; x < 48; ++x) {
                    Rgb c = p.At((i % 5) * 48 + x, (i / 5) * 48 + y);
                    if (c != magenta) {
                        sum[0] += c.r;
                        sum[1] += c.g;
                        sum[2] += c.b;
                        ++n;
                    }
                }
            }
        }
        return std::vector<double>{sum[0] / n, sum[1] / n, sum[2] / n};
    };
    std::vector<double> ma = meanColour(a, 14);
    std::vector<double> mb = meanColour(b, 10);
    double distance = std::hypot(ma[0] - mb[0], ma[1] - mb[1], ma[2] - mb[2]);
    EXPECT_GT(distance, 50);
    // Idle silhouettes differ too, not only their colours.
    EXPECT_GT(Difference(FighterMask(a, 0), FighterMask(b, 0)), 0.35);
}

TEST(BlastSheet, CentresEveryEntryOnItsCentrePixelAndGrowsToItsRadius) {
    Picture p = Picture::Read("BLAST.BMP");
    ASSERT_TRUE(p.valid);
    ASSERT_EQ(p.width, blastSpriteSide * blastSpriteCount);
    constexpr int c = blastCentre;
    constexpr int side = blastSpriteSide;
    double previousArea = 0;
    for (int e = 0; e < blastSpriteCount; ++e) {
        SCOPED_TRACE("entry " + std::to_string(e));
        int area = 0;
        double sx = 0;
        double sy = 0;
        int reachRight = 0;
        int reachDown = 0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                if (!p.IsKey(e * side + x, y)) {
                    ++area;
                    sx += x;
                    sy += y;
                    if (y == c) {
                        reachRight = std::max(reachRight, x - c);
                    }
                    if (x == c) {
                        reachDown = std::max(reachDown, y - c);
                    }
                }
            }
        }
        ASSERT_GT(area, 0);
        EXPECT_NEAR(sx / area, c, 0.75);
        EXPECT_NEAR(sy / area, c, 0.75);
        EXPECT_GT(area, previousArea);
        previousArea = area;
        // The cell ends side - 1 - c pixels right of and below the centre.
        double reach = std::min(blastShapeRadius[e], side - 1 - c);
        EXPECT_NEAR(reachRight, reach, 1.5);
        EXPECT_NEAR(reachDown, reach, 1.5);
    }
    // The small carving shapes are solid discs: no holes to leave dirt standing.
    for (int e = 0; e < 3; ++e) {
        double r = blastShapeRadius[e];
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                double d = std::hypot(x - c, y - c);
                if (d <= r - 0.5) {
                    EXPECT_FALSE(p.IsKey(e * side + x, y)) << e << ": " << x << "," << y;
                } else if (d >= r + 0.75) {
                    EXPECT_TRUE(p.IsKey(e * side + x, y)) << e << ": " << x << "," << y;
                }
            }
        }
    }
}

TEST(DirtSheet, IsEarthyVariedAndReadableAgainstBlack) {
    Picture p = Picture::Read("DIRT.BMP");
    ASSERT_TRUE(p.valid);
    double r = 0, g = 0, b = 0, luma = 0, luma2 = 0;
    for (const Rgb& c : p.pixels) {
        r += c.r;
        g += c.g;
        b += c.b;
        luma += c.Luma();
        luma2 += double(c.Luma()) * c.Luma();
    }
    double n = double(p.pixels.size());
    EXPECT_GT(r / n, g / n);
    EXPECT_GT(g / n, b / n);
    EXPECT_GT(luma / n, 60);
    EXPECT_LT(luma / n, 170);
    double deviation = std::sqrt(luma2 / n - (luma / n) * (luma / n));
    EXPECT_GT(deviation, 8);
}

// Compares the step across each wrap-around seam with the steps between
// neighbouring pixels inside the picture: a seam must not stand out.
TEST(DirtSheet, TilesSeamlesslyInBothDirections) {
    Picture p = Picture::Read("DIRT.BMP");
    ASSERT_TRUE(p.valid);
    auto step = [&](int x0, int y0, int x1, int y1) {
        Rgb a = p.At(x0, y0);
        Rgb b = p.At(x1, y1);
        return double(std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b));
    };
    double interiorColumns = 0;
    double interiorRows = 0;
    double seamColumns = 0;
    double seamRows = 0;
    for (int i = 0; i < 64; ++i) {
        for (int k = 0; k < 63; ++k) {
            interiorColumns += step(k, i, k + 1, i);
            interiorRows += step(i, k, i, k + 1);
        }
        seamColumns += step(63, i, 0, i);
        seamRows += step(i, 63, i, 0);
    }
    interiorColumns /= 64 * 63;
    interiorRows /= 64 * 63;
    seamColumns /= 64;
    seamRows /= 64;
    EXPECT_LT(seamColumns, interiorColumns * 1.5);
    EXPECT_LT(seamRows, interiorRows * 1.5);
}

TEST(ReticleSheet, IsCentredOnPixel10AndDrawnLightOverDark) {
    Picture p = Picture::Read("TARGET.BMP");
    ASSERT_TRUE(p.valid);
    EXPECT_FALSE(p.IsKey(10, 10));
    EXPECT_TRUE(p.IsKey(0, 0));
    EXPECT_TRUE(p.IsKey(20, 20));
    int bright = 0;
    int dark = 0;
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 21; ++x) {
            // Symmetric about both axes through the centre pixel.
            EXPECT_EQ(p.IsKey(x, y), p.IsKey(20 - x, y)) << x << "," << y;
            EXPECT_EQ(p.IsKey(x, y), p.IsKey(x, 20 - y)) << x << "," << y;
            if (!p.IsKey(x, y)) {
                bright += p.At(x, y).Luma() > 180 ? 1 : 0;
                dark += p.At(x, y).Luma() < 50 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(bright, 20) << "shows over black";
    EXPECT_GT(dark, 20) << "an outline that shows over dirt";
}

}  // namespace
