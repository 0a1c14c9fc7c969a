// The generated files through the game's own loaders: every sheet loads, every
// cell the game cuts encodes, the key is the only transparent value, the carving
// shapes dig wider with each blast size, and every sound loads for playback.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "rules/art_layout.h"
#include "sprites/bitmap_image.h"
#include "sprites/rle_carve.h"
#include "sprites/rle_sprite.h"
#include "tests/assets/asset_files.h"

using namespace assettest;

namespace {

#if KIVORO_PIXEL_565
constexpr uint16_t colourKey = 0xF81F;
#else
constexpr uint16_t colourKey = 0x7C1F;
#endif

struct Cut {
    const char* name;
    int32_t width;
    int32_t height;
    int32_t count;
    int32_t perRow;
};

constexpr Cut cuts[] = {{"BLAST.BMP", 54, 54, 7, 7},
                        {"DIRT.BMP", 8, 8, 64, 8},
                        {"MELSAR.BMP", 48, 48, 10, 5},
                        {"TORVIK.BMP", 48, 48, 14, 5},
                        {"TARGET.BMP", 21, 21, 1, 1}};

TEST(GameLoaders, ReadEverySheetWithTheKeyOnlyWhereTheFileIsTransparent) {
    BitmapImage first;
    ASSERT_EQ(first.Load(AssetPath("TORVIK.BMP").c_str()), 1);
    EXPECT_EQ(reinterpret_cast<const uint16_t*>(first.pixels)[0], colourKey);
    first.ReleasePixels();
    for (const Cut& c : cuts) {
        SCOPED_TRACE(c.name);
        Picture file = Picture::Read(c.name);
        ASSERT_TRUE(file.valid);
        BitmapImage image;
        ASSERT_EQ(image.Load(AssetPath(c.name).c_str()), 1);
        ASSERT_EQ(image.infoHeader.biWidth, file.width);
        ASSERT_EQ(image.infoHeader.biHeight, file.height);
        EXPECT_EQ(image.infoHeader.biBitCount, 16);
        const uint16_t* pixels = reinterpret_cast<const uint16_t*>(image.pixels);
        for (int y = 0; y < file.height; ++y) {
            for (int x = 0; x < file.width; ++x) {
                ASSERT_EQ(pixels[y * file.width + x] == colourKey, file.IsKey(x, y))
                    << x << "," << y;
            }
        }
        image.ReleasePixels();
    }
}

TEST(GameLoaders, EncodeEveryCellTheGameCuts) {
    for (const Cut& c : cuts) {
        SCOPED_TRACE(c.name);
        for (int32_t j = 0; j < c.count; ++j) {
            RleSprite sprite;
            sprite.Bind(nullptr, c.width, c.height);
            ASSERT_EQ(sprite.LoadCell(AssetPath(c.name).c_str(), j % c.perRow, j / c.perRow, 1,
                                      colourKey),
                      1);
            ASSERT_NE(sprite.rleData, nullptr);
            // Dirt tiles have no transparent pixel: every row is literal.
            if (std::string(c.name) == "DIRT.BMP") {
                for (int32_t row = 0, at = 0; row < c.height; ++row, at += c.width + 1) {
                    EXPECT_EQ(sprite.rleData[at], 1);
                }
            }
        }
    }
}

// Cells cleared by carving a shape into a grid full of dirt.
struct Crater {
    int cleared = 0;
    int left = 1000, right = -1000, top = 1000, bottom = -1000;
};

Crater CarveEntry(int32_t entry) {
    constexpr int32_t side = 80;
    constexpr int32_t centre = 40;
    std::vector<uint8_t> cells(side * side, 1);
    RleSprite shape;
    shape.Bind(nullptr, 54, 54);
    EXPECT_EQ(shape.LoadCell(AssetPath("BLAST.BMP").c_str(), entry, 0, 1, colourKey), 1);
    CarveCells(cells.data(), side, side, centre - blastCentre, centre - blastCentre, shape);
    Crater c;
    for (int32_t y = 0; y < side; ++y) {
        for (int32_t x = 0; x < side; ++x) {
            if (cells[y * side + x] == 0) {
                ++c.cleared;
                c.left = std::min(c.left, x - centre);
                c.right = std::max(c.right, x - centre);
                c.top = std::min(c.top, y - centre);
                c.bottom = std::max(c.bottom, y - centre);
            }
        }
    }
    return c;
}

TEST(GameLoaders, CarvingShapesDigCentredCratersThatWidenWithTheBlastSize) {
    Crater previous;
    for (int32_t entry = 0; entry <= 4; ++entry) {
        SCOPED_TRACE("entry " + std::to_string(entry));
        Crater c = CarveEntry(entry);
        ASSERT_GT(c.cleared, 0);
        // The crater's middle is the cell the carve was centred on.
        EXPECT_EQ(c.left + c.right, 0);
        EXPECT_EQ(c.top + c.bottom, 0);
        if (entry > 0) {
            EXPECT_GT(c.right, previous.right);
            EXPECT_GT(c.cleared, previous.cleared);
        }
        previous = c;
    }
}

TEST(GameLoaders, LoadEverySoundForPlayback) {
    // Headless: the silent driver, unless the environment names another.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SoundDevice device;
    ASSERT_EQ(device.Create(nullptr), 0);
    for (const char* name : {"ZEMBA2.WAV", "SOUND_2.WAV", "EDIT.WAV"}) {
        SCOPED_TRACE(name);
        Wave file = Wave::Read(name);
        ASSERT_TRUE(file.valid);
        SoundBuffer sound;
        EXPECT_EQ(sound.LoadFromFile(&device, AssetPath(name).c_str(), 1), 0);
        EXPECT_EQ(sound.dataSize, file.samples.size() * 2);
    }
}

}  // namespace
