// Palette: the missing-palette answers, nearest searches, the bounded loaders
// from memory, stream and file, brightness hand-over and the lookup tables.
#include "engine/display/palette.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/display/engine_support.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(palette.CreateForScreen(nullptr, true), 0); }

    void ExpectEntry(int32_t index, uint32_t rgb) {
        EXPECT_EQ(palette.EntryToRgb(index), rgb) << "entry " << index;
    }

    // The colour the platform palette shows for an entry, as red | green << 8 | blue << 16.
    uint32_t Shown(int32_t index) {
        const SDL_Color& colour = palette.platformPalette->colors[index];
        return colour.r | (colour.g << 8) | (colour.b << 16);
    }

    std::string WriteTemp(const std::vector<uint8_t>& bytes) {
        char* name = MakeTempFileName();
        std::string path = name;
        delete[] name;
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        tempFiles.push_back(path);
        return path;
    }

    void TearDown() override {
        for (const std::string& path : tempFiles) {
            std::remove(path.c_str());
        }
    }

    Palette palette;
    std::vector<std::string> tempFiles;
};

// Raw triples where entry i is (i, 255 - i, i / 2).
std::vector<uint8_t> RawRamp(size_t bytes) {
    std::vector<uint8_t> raw(bytes);
    for (size_t i = 0; i < bytes; ++i) {
        const size_t entry = i / 3;
        raw[i] = static_cast<uint8_t>(i % 3 == 0 ? entry : (i % 3 == 1 ? 255 - entry : entry / 2));
    }
    return raw;
}

uint32_t RampRgb(uint32_t i) {
    return i | ((255 - i) << 8) | ((i / 2) << 16);
}

TEST(PaletteEmptyTest, EverythingNeedingThePlatformPaletteAnswers52) {
    Palette palette;
    EXPECT_EQ(palette.Apply(), PaletteMissing);
    EXPECT_EQ(palette.SetBrightness(128), PaletteMissing);
    EXPECT_EQ(palette.FadeOut(0), PaletteMissing);
    EXPECT_EQ(palette.FadeIn(0), PaletteMissing);
    EXPECT_EQ(palette.BuildLookupTables(), PaletteMissing);
    EXPECT_EQ(palette.shadeTable, nullptr);
    EXPECT_EQ(palette.AttachToScreen(), 0);

    // Without entries the rest does nothing rather than touch a missing table.
    const std::vector<uint8_t> raw = RawRamp(768);
    palette.SetEntry(3, 1, 2, 3);
    palette.LoadRawFromMemory(raw.data(), raw.size());
    palette.LoadPcxFromMemory(raw.data(), raw.size());
    EXPECT_EQ(palette.EntryToRgb(3), 0u);
    EXPECT_EQ(palette.EntryToPixel(3), 0u);
    EXPECT_EQ(palette.NearestToRgb(1, 2, 3), 0);
    EXPECT_EQ(palette.BuildPixelTable(), 0);
    EXPECT_EQ(palette.pixelTable, nullptr);
    EXPECT_EQ(palette.entries, nullptr);
}

TEST_F(PaletteTest, CreationStartsBlackAndRecordsTheFlag) {
    EXPECT_EQ(palette.createFlags, PaletteAllow256);
    ASSERT_NE(palette.platformPalette, nullptr);
    for (int32_t i = 0; i < paletteEntryCount; ++i) {
        ASSERT_EQ(palette.entries[4 * i + 3], 0);
        ASSERT_EQ(palette.EntryToRgb(i), 0u);
        ASSERT_EQ(Shown(i), 0u);
    }
    palette.SetEntry(9, 10, 20, 30);
    EXPECT_EQ(palette.EntryToRgb(9), 0x1E140Au);
    EXPECT_EQ(Shown(9), 0u);  // not handed over until Apply

    // A second creation starts over with black entries.
    ASSERT_EQ(palette.CreateForScreen(nullptr, false), 0);
    EXPECT_EQ(palette.createFlags, 0u);
    EXPECT_EQ(palette.EntryToRgb(9), 0u);
    EXPECT_EQ(palette.EntryToRgb(-1), 0u);
    EXPECT_EQ(palette.EntryToRgb(256), 0u);
}

TEST_F(PaletteTest, NearestSearchesPreferTheLowestIndex) {
    for (int32_t i = 0; i < paletteEntryCount; ++i) {
        palette.SetEntry(static_cast<uint8_t>(i), 255, 255, 255);
    }
    palette.SetEntry(7, 1, 2, 3);
    palette.SetEntry(200, 1, 2, 3);
    EXPECT_EQ(palette.EntryToRgb(7), 0x030201u);
    EXPECT_EQ(palette.NearestToRgb(1, 2, 3), 7);

    // (10, 0, 0) and (0, 10, 0) are both 10 away from (5, 5, 0).
    palette.SetEntry(30, 10, 0, 0);
    palette.SetEntry(20, 0, 10, 0);
    EXPECT_EQ(palette.NearestToRgb(5, 5, 0), 7);  // 7 is at distance 7
    palette.SetEntry(7, 255, 255, 255);
    palette.SetEntry(200, 255, 255, 255);
    EXPECT_EQ(palette.NearestToRgb(5, 5, 0), 20);

    // Everything equally far: the search's starting answer, entry 0.
    EXPECT_EQ(palette.NearestToRgb(255, 255, 255), 0);
}

TEST_F(PaletteTest, RawLoadsFromMemoryStopAtTheSource) {
    const std::vector<uint8_t> raw = RawRamp(768);
    palette.LoadRawFromMemory(raw.data(), raw.size());
    ExpectEntry(0, RampRgb(0));
    ExpectEntry(128, RampRgb(128));
    ExpectEntry(255, RampRgb(255));
    EXPECT_EQ(palette.entries[4 * 255 + 3], 0);

    // Ten bytes hold three whole entries; the fourth keeps its colour.
    ASSERT_EQ(palette.CreateForScreen(nullptr, true), 0);
    palette.SetEntry(3, 9, 9, 9);
    const std::vector<uint8_t> shortRaw = RawRamp(10);
    palette.LoadRawFromMemory(shortRaw.data(), shortRaw.size());
    ExpectEntry(2, RampRgb(2));
    ExpectEntry(3, 0x090909);
}

TEST_F(PaletteTest, BmpAndPcxLoadsFromMemory) {
    std::vector<uint8_t> bmp(54 + 1024, 0xEE);
    for (int32_t i = 0; i < 256; ++i) {
        bmp[54 + 4 * i] = static_cast<uint8_t>(i);  // blue
        bmp[54 + 4 * i + 1] = 0x40;                 // green
        bmp[54 + 4 * i + 2] = static_cast<uint8_t>(255 - i);
    }
    palette.LoadBmpFromMemory(bmp.data(), bmp.size());
    ExpectEntry(0, 0x0040FF);
    ExpectEntry(255, 0xFF4000);
    EXPECT_EQ(palette.entries[4 * 255 + 3], 0);

    // Headers plus two entries and part of a third.
    ASSERT_EQ(palette.CreateForScreen(nullptr, true), 0);
    const std::vector<uint8_t> shortBmp(bmp.begin(), bmp.begin() + 54 + 10);
    palette.LoadBmpFromMemory(shortBmp.data(), shortBmp.size());
    ExpectEntry(1, 0x0140FE);
    ExpectEntry(2, 0);
    palette.LoadBmpFromMemory(bmp.data(), 20);
    ExpectEntry(0, 0x0040FF);

    // A PCX file's colour table is its last 768 bytes.
    std::vector<uint8_t> pcx(200, 0x77);
    const std::vector<uint8_t> raw = RawRamp(768);
    pcx.insert(pcx.end(), raw.begin(), raw.end());
    palette.LoadPcxFromMemory(pcx.data(), pcx.size());
    ExpectEntry(0, RampRgb(0));
    ExpectEntry(255, RampRgb(255));

    ASSERT_EQ(palette.CreateForScreen(nullptr, true), 0);
    palette.LoadPcxFromMemory(raw.data(), 767);
    ExpectEntry(0, 0);
    ExpectEntry(1, 0);
}

TEST_F(PaletteTest, FileLoadsReadOnlyWhatTheFileHolds) {
    std::vector<uint8_t> bmp(54 + 8, 0);
    const uint8_t table[8] = {3, 2, 1, 0, 6, 5, 4, 0};
    std::copy(table, table + 8, bmp.begin() + 54);
    palette.LoadBmpFromFile(WriteTemp(bmp).c_str());
    ExpectEntry(0, 0x030201);
    ExpectEntry(1, 0x060504);
    ExpectEntry(2, 0);

    palette.LoadRawFromFile(WriteTemp(RawRamp(300)).c_str());
    ExpectEntry(99, RampRgb(99));
    ExpectEntry(100, 0);

    std::vector<uint8_t> pcx(1000, 0x11);
    const std::vector<uint8_t> raw = RawRamp(768);
    std::copy(raw.begin(), raw.end(), pcx.end() - 768);
    palette.LoadPcxFromFile(WriteTemp(pcx).c_str());
    ExpectEntry(100, RampRgb(100));

    ASSERT_EQ(palette.CreateForScreen(nullptr, true), 0);
    palette.LoadPcxFromFile(WriteTemp(std::vector<uint8_t>(500, 0x22)).c_str());
    palette.LoadRawFromFile("/nonexistent/palette.pal");
    palette.LoadBmpFromFile(nullptr);
    ExpectEntry(0, 0);
}

TEST_F(PaletteTest, StreamLoadsStartAtTheCurrentPosition) {
    std::vector<uint8_t> bytes(16, 0x55);
    const std::vector<uint8_t> raw = RawRamp(768);
    bytes.insert(bytes.end(), raw.begin(), raw.end());
    FILE* file = std::fopen(WriteTemp(bytes).c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 16, SEEK_SET);
    palette.LoadRawFromStream(file);
    ExpectEntry(255, RampRgb(255));

    // A PCX length reaching past the file's end reads nothing.
    ASSERT_EQ(palette.CreateForScreen(nullptr, true), 0);
    std::fseek(file, 0, SEEK_SET);
    palette.LoadPcxFromStream(file, 5000);
    ExpectEntry(1, 0);
    std::fseek(file, 0, SEEK_SET);
    palette.LoadPcxFromStream(file, 16 + 768);
    ExpectEntry(1, RampRgb(1));
    std::fclose(file);
}

TEST_F(PaletteTest, BrightnessScalesWhatIsShownNotTheEntries) {
    const std::vector<uint8_t> raw = RawRamp(768);
    palette.LoadRawFromMemory(raw.data(), raw.size());
    ASSERT_EQ(palette.SetBrightness(255), 0);
    for (int32_t i = 0; i < paletteEntryCount; ++i) {
        ASSERT_EQ(Shown(i), RampRgb(i));
    }
    ASSERT_EQ(palette.SetBrightness(0), 0);
    for (int32_t i = 0; i < paletteEntryCount; ++i) {
        ASSERT_EQ(Shown(i), 0u);
    }
    ASSERT_EQ(palette.SetBrightness(128), 0);
    EXPECT_EQ(Shown(255), (255u * 128 / 255) | (0u << 8) | ((127u * 128 / 255) << 16));
    EXPECT_EQ(palette.platformPalette->colors[255].a, SDL_ALPHA_OPAQUE);
    ExpectEntry(255, RampRgb(255));

    // Levels beyond the range are held to it.
    ASSERT_EQ(palette.SetBrightness(1000), 0);
    EXPECT_EQ(Shown(200), RampRgb(200));
    ASSERT_EQ(palette.SetBrightness(-4), 0);
    EXPECT_EQ(Shown(200), 0u);

    ASSERT_EQ(palette.Apply(), 0);
    EXPECT_EQ(Shown(17), RampRgb(17));
    ASSERT_EQ(palette.FadeOut(0), 0);
    EXPECT_EQ(Shown(17), 0u);
    ASSERT_EQ(palette.FadeIn(0), 0);
    EXPECT_EQ(Shown(17), RampRgb(17));
}

TEST_F(PaletteTest, ShadeTableAndInverseMap) {
    palette.SetEntry(0, 0, 0, 0);
    palette.SetEntry(1, 255, 0, 0);
    palette.SetEntry(2, 0, 255, 0);
    palette.SetEntry(3, 0, 0, 255);
    palette.SetEntry(4, 200, 100, 50);
    for (int32_t i = 5; i < paletteEntryCount; ++i) {
        palette.SetEntry(static_cast<uint8_t>(i), 0, 0, 0);  // repeats of black
    }
    ASSERT_EQ(palette.BuildLookupTables(), 0);
    ASSERT_NE(palette.shadeTable, nullptr);
    ASSERT_NE(palette.inverseMap, nullptr);

    const uint16_t* top = palette.shadeTable + 256 * 31;
    EXPECT_EQ(top[1], 0x7C00);
    EXPECT_EQ(top[2], 0x03E0);
    EXPECT_EQ(top[3], 0x001F);
    EXPECT_EQ(top[4], (25 << 10) | (12 << 5) | 6);
    for (int32_t i = 0; i < paletteEntryCount; ++i) {
        ASSERT_EQ(palette.shadeTable[i], 0) << i;
    }
    // Level 15: 255 * 15 / 31 = 123, which keeps 15 of its 5 bits.
    EXPECT_EQ(palette.shadeTable[1 + 256 * 15], 15 << 10);

    EXPECT_EQ(palette.inverseMap[0], 0);  // black at its lowest index
    EXPECT_EQ(palette.inverseMap[31 << 10], 1);
    EXPECT_EQ(palette.inverseMap[31 << 5], 2);
    EXPECT_EQ(palette.inverseMap[31], 3);
    EXPECT_EQ(palette.inverseMap[(25 << 10) | (12 << 5) | 6], 4);
    // A shaded pixel maps back to its entry.
    EXPECT_EQ(palette.inverseMap[top[4]], 4);
}

TEST(PaletteScreenTest, PixelsFollowTheScreensFormat) {
    Screen screen;
    ASSERT_EQ(screen.SetMemoryMode(4, 4), 0);
    const PixelFormat& format = *screen.pixelFormat;
    Palette palette;
    ASSERT_EQ(palette.CreateForScreen(&screen, true), 0);
    EXPECT_EQ(palette.screen, &screen);
    palette.SetEntry(1, 255, 0, 0);
    palette.SetEntry(2, 0, 255, 0);
    palette.SetEntry(3, 0, 0, 255);
    palette.SetEntry(4, 100, 100, 100);

    EXPECT_EQ(palette.EntryToPixel(0), 0u);
    EXPECT_EQ(palette.EntryToPixel(1), format.redMask);
    EXPECT_EQ(palette.EntryToPixel(2), format.greenMask);
    EXPECT_EQ(palette.EntryToPixel(3), format.blueMask);
    EXPECT_EQ(palette.EntryToPixel(300), 0u);

    EXPECT_EQ(palette.NearestToPixel(format.redMask), 1);
    EXPECT_EQ(palette.NearestToPixel(format.greenMask | format.blueMask), 2);  // tie with 3
    EXPECT_EQ(palette.NearestToPixel(palette.EntryToPixel(4)), 4);
    EXPECT_EQ(palette.NearestToPixel(0), 0);

    ASSERT_EQ(palette.BuildPixelTable(), 0);
    ASSERT_NE(palette.pixelTable, nullptr);
    EXPECT_EQ(palette.pixelTable[1], format.redMask);
    EXPECT_EQ(palette.pixelTable[4], palette.EntryToPixel(4));

    // Attached to both surfaces; at 16 bits the SDL surfaces are not involved.
    EXPECT_EQ(palette.AttachToScreen(), 0);
    EXPECT_EQ(screen.frontSurface->palette, &palette);
    EXPECT_EQ(screen.backSurface->palette, &palette);
    screen.frontSurface->SetPalette(screen.palette);
    screen.backSurface->SetPalette(screen.palette);
}

TEST(PaletteScreenTest, NoPixelTableOnAPalettisedDisplay) {
    Screen screen;
    ASSERT_EQ(screen.SetMemoryMode(4, 4), 0);
    screen.pixelFormat->bitsPerPixel = 8;
    Palette palette;
    ASSERT_EQ(palette.CreateForScreen(&screen, false), 0);
    EXPECT_EQ(palette.BuildPixelTable(), 0);
    EXPECT_EQ(palette.pixelTable, nullptr);
    screen.pixelFormat->bitsPerPixel = 16;
}

}  // namespace
