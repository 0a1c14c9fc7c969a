// Bitmap loader: files written by ImageMagick (tests/data/make_fixtures.sh) read
// pixel for pixel in the build's layout, and hostile files built byte by byte,
// each of which must be refused without reading or allocating out of bounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sprites/bitmap_image.h"

namespace {

std::string DataPath(const char* name) {
    return std::string(KIVORO_TEST_DATA_DIR) + "/" + name;
}

struct Colour {
    uint8_t red, green, blue;
    uint16_t pixel555, pixel565;
};

constexpr Colour white{255, 255, 255, 0x7FFF, 0xFFDF};
constexpr Colour pureRed{255, 0, 0, 0x7C00, 0xF800};
constexpr Colour pureGreen{0, 255, 0, 0x03E0, 0x07C0};
constexpr Colour pureBlue{0, 0, 255, 0x001F, 0x001F};
constexpr Colour grey{128, 128, 128, 0x4210, 0x8410};
constexpr Colour black{0, 0, 0, 0x0000, 0x0000};
// Five bits of each channel: 200 -> 25, 100 -> 12, 50 -> 6.
constexpr Colour brown{200, 100, 50, 0x6586, 0xCB06};

uint16_t Expected(const Colour& colour) {
#if KIVORO_PIXEL_565
    return colour.pixel565;
#else
    return colour.pixel555;
#endif
}

// The picture of the 5 x 3 fixtures, top row first.
const Colour picture5x3[3][5] = {
    {white, pureRed, pureGreen, pureBlue, grey},
    {black, brown, white, pureBlue, pureRed},
    {pureGreen, grey, black, white, pureBlue},
};

const uint16_t* Pixels16(const BitmapImage& image) {
    return reinterpret_cast<const uint16_t*>(image.pixels);
}

void ExpectPicture5x3(const BitmapImage& image) {
    ASSERT_EQ(image.infoHeader.biWidth, 5);
    ASSERT_EQ(image.infoHeader.biHeight, 3);
    ASSERT_EQ(image.infoHeader.biBitCount, 16);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(Pixels16(image)[y * 5 + x], Expected(picture5x3[y][x]))
                << "pixel " << x << ", " << y;
        }
    }
}

TEST(BitmapImageFixtures, TwentyFourBitFileReadsTopRowFirstWithPaddedRows) {
    BitmapImage image;
    ASSERT_EQ(image.Load(DataPath("rgb24_5x3.bmp").c_str()), 1);
    ExpectPicture5x3(image);
    image.ReleasePixels();
    EXPECT_EQ(image.pixels, nullptr);
}

TEST(BitmapImageFixtures, LongInformationHeaderReadsTheSame) {
    BitmapImage image;
    ASSERT_EQ(image.Load(DataPath("rgb24_long_header_5x3.bmp").c_str()), 1);
    ExpectPicture5x3(image);
    image.ReleasePixels();
}

TEST(BitmapImageFixtures, SixteenBitFileWithFiveBitMasks) {
    BitmapImage image;
    ASSERT_EQ(image.Load(DataPath("rgb555_3x2.bmp").c_str()), 1);
    ASSERT_EQ(image.infoHeader.biBitCount, 16);
    // Grey 132 is stored as 16 in each five-bit channel, the same as grey 128.
    const Colour picture[2][3] = {{white, pureRed, pureGreen}, {pureBlue, grey, black}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Pixels16(image)[y * 3 + x], Expected(picture[y][x]))
                << "pixel " << x << ", " << y;
        }
    }
    image.ReleasePixels();
}

// Trailing bytes shift the picture: the pixels are the last image-size bytes,
// so the extra blue row becomes the top row and the stored bottom row drops out.
TEST(BitmapImageFixtures, TrailingBytesAreTakenAsTheLastRow) {
    BitmapImage image;
    ASSERT_EQ(image.Load(DataPath("rgb24_trailing_5x3.bmp").c_str()), 1);
    const Colour shifted[3][5] = {
        {pureBlue, pureBlue, pureBlue, pureBlue, pureBlue},
        {white, pureRed, pureGreen, pureBlue, grey},
        {black, brown, white, pureBlue, pureRed},
    };
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(Pixels16(image)[y * 5 + x], Expected(shifted[y][x]))
                << "pixel " << x << ", " << y;
        }
    }
    image.ReleasePixels();
}

TEST(BitmapImageFixtures, EightBitFileKeepsIndicesAndSwapsThePalette) {
    BitmapImage image;
    ASSERT_EQ(image.Load(DataPath("indexed8_5x4.bmp").c_str()), 1);
    ASSERT_EQ(image.infoHeader.biBitCount, 8);
    // The picture of make_fixtures.sh: pixel i (top row first) is
    // (12 i, 255 - 12 i, 37 i mod 256). Its indices need not be in that order.
    for (int i = 0; i < 20; ++i) {
        const BitmapPaletteEntry& entry = image.palette[image.pixels[i]];
        EXPECT_EQ(entry.red, 12 * i) << "pixel " << i;
        EXPECT_EQ(entry.green, 255 - 12 * i) << "pixel " << i;
        EXPECT_EQ(entry.blue, (37 * i) % 256) << "pixel " << i;
    }
    for (const BitmapPaletteEntry& entry : image.palette) {
        EXPECT_EQ(entry.flags, 4);
    }
    // One byte per pixel: a 5-6-5 conversion leaves it alone, and a flip of rows
    // whose header claims a wider depth is refused rather than run past the buffer.
    const std::vector<uint8_t> indices(image.pixels, image.pixels + 20);
    image.ConvertTo565();
    EXPECT_EQ(std::vector<uint8_t>(image.pixels, image.pixels + 20), indices);
    image.infoHeader.biBitCount = 24;
    EXPECT_EQ(image.FlipRows(), 0);
    image.ReleasePixels();
}

TEST(BitmapImageFixtures, FilesOutsideTheReadableFormatsAreRefused) {
    for (const char* name : {"mono1_2x1.bmp", "rle8_20x1.bmp", "rgb565_2x2.bmp", "missing.bmp"}) {
        BitmapImage image;
        EXPECT_EQ(image.Load(DataPath(name).c_str()), 0) << name;
        EXPECT_EQ(image.pixels, nullptr) << name;
    }
    // A folder opens like a file but has no length to read.
    BitmapImage image;
    EXPECT_EQ(image.Load(KIVORO_TEST_DATA_DIR), 0);
    EXPECT_EQ(image.pixels, nullptr);
}

// A bitmap file assembled byte by byte: headers, whatever lies between them and
// the pixel data (masks, colour table), then the pixel data.
struct FileBytes {
    uint16_t type = 0x4D42;
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint8_t> between;
    std::vector<uint8_t> pixelData;

    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> out;
        auto put = [&out](uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) {
                out.push_back(static_cast<uint8_t>(value >> (8 * i)));
            }
        };
        const uint32_t offset = 54 + static_cast<uint32_t>(between.size());
        put(type, 2);
        put(offset + static_cast<uint32_t>(pixelData.size()), 4);
        put(0, 4);
        put(offset, 4);
        put(headerSize, 4);
        put(static_cast<uint32_t>(width), 4);
        put(static_cast<uint32_t>(height), 4);
        put(1, 2);
        put(bitCount, 2);
        put(compression, 4);
        put(sizeImage, 4);
        put(2835, 4);
        put(2835, 4);
        put(coloursUsed, 4);
        put(0, 4);
        out.insert(out.end(), between.begin(), between.end());
        out.insert(out.end(), pixelData.begin(), pixelData.end());
        return out;
    }
};

std::vector<uint8_t> Masks(uint32_t red, uint32_t green, uint32_t blue) {
    std::vector<uint8_t> out;
    for (uint32_t mask : {red, green, blue}) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<uint8_t>(mask >> (8 * i)));
        }
    }
    return out;
}

// A 2 x 2 16-bit file with 5-5-5 masks; rows of 4 bytes, no padding.
FileBytes SixteenBit2x2() {
    FileBytes file;
    file.width = 2;
    file.height = 2;
    file.bitCount = 16;
    file.compression = 3;
    file.between = Masks(0x7C00, 0x03E0, 0x001F);
    file.pixelData = {0x01, 0x00, 0x02, 0x00, 0x03, 0x80, 0x04, 0x00};
    return file;
}

int LoadBytes(BitmapImage& image, const std::vector<uint8_t>& bytes) {
    return image.LoadFromMemory(bytes.data(), bytes.size());
}

TEST(BitmapImageMemory, ZeroImageSizeIsTakenFromThePaddedRows) {
    // 1 x 3 at 16 bits: 2 bytes of pixel and 2 of padding per row.
    FileBytes file;
    file.bitCount = 16;
    file.height = 3;
    // Blue-only pixels read the same in both layouts.
    file.pixelData = {0x11, 0x00, 0xEE, 0xEE, 0x12, 0x00, 0xEE, 0xEE, 0x13, 0x00, 0xEE, 0xEE};
    BitmapImage image;
    ASSERT_EQ(LoadBytes(image, file.Build()), 1);
    const uint16_t expected[3] = {0x0013, 0x0012, 0x0011};
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(Pixels16(image)[y], expected[y]);
    }
    image.ReleasePixels();
}

TEST(BitmapImageMemory, SixteenBitPixelsAreTakenBitForBit) {
    BitmapImage image;
    ASSERT_EQ(LoadBytes(image, SixteenBit2x2().Build()), 1);
    // Bottom row first in the file; 0x8003 has bit 15 set, which 5-6-5 drops.
#if KIVORO_PIXEL_565
    const uint16_t expected[4] = {0x0003, 0x0004, 0x0001, 0x0002};
#else
    const uint16_t expected[4] = {0x8003, 0x0004, 0x0001, 0x0002};
#endif
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Pixels16(image)[i], expected[i]) << "pixel " << i;
    }
    image.ReleasePixels();
}

TEST(BitmapImageMemory, ShortColourTableIsReadAsDeclared) {
    // Two declared colours; the one pixel (padded to 4 bytes) uses the second.
    FileBytes file;
    file.bitCount = 8;
    file.coloursUsed = 2;
    file.between = {10, 20, 30, 0, 40, 50, 60, 0};
    file.pixelData = {1, 0, 0, 0};
    BitmapImage image;
    ASSERT_EQ(LoadBytes(image, file.Build()), 1);
    EXPECT_EQ(image.pixels[0], 1);
    EXPECT_EQ(image.palette[1].red, 60);
    EXPECT_EQ(image.palette[1].green, 50);
    EXPECT_EQ(image.palette[1].blue, 40);
    EXPECT_EQ(image.palette[2].red, 0);
    EXPECT_EQ(image.palette[2].flags, 4);
    image.ReleasePixels();
}

TEST(BitmapImageMemory, ReloadingReleasesTheEarlierPixels) {
    BitmapImage image;
    ASSERT_EQ(LoadBytes(image, SixteenBit2x2().Build()), 1);
    ASSERT_EQ(LoadBytes(image, SixteenBit2x2().Build()), 1);
    // A refused load after a good one leaves no pixels and no leak.
    EXPECT_EQ(LoadBytes(image, {'B', 'M'}), 0);
    EXPECT_EQ(image.pixels, nullptr);
}

struct Hostile {
    const char* what;
    std::vector<uint8_t> bytes;
};

std::vector<Hostile> HostileFiles() {
    std::vector<Hostile> files;
    auto add = [&files](const char* what, const FileBytes& file) {
        files.push_back({what, file.Build()});
    };
    const FileBytes good = SixteenBit2x2();
    const std::vector<uint8_t> goodBytes = good.Build();

    files.push_back({"empty file", {}});
    files.push_back(
        {"file header only", std::vector<uint8_t>(goodBytes.begin(), goodBytes.begin() + 14)});
    files.push_back({"information header cut short",
                     std::vector<uint8_t>(goodBytes.begin(), goodBytes.begin() + 53)});
    files.push_back(
        {"masks cut short", std::vector<uint8_t>(goodBytes.begin(), goodBytes.begin() + 60)});

    FileBytes f = good;
    f.type = 0x4D43;
    add("not BM", f);
    f = good, f.width = 0;
    add("width 0", f);
    f = good, f.height = 0;
    add("height 0", f);
    f = good, f.height = -2;
    add("top-down (negative height)", f);
    f = good, f.width = -2;
    add("negative width", f);
    f = good, f.width = BitmapImage::maxSide + 1;
    add("width past the bound", f);
    f = good, f.height = 0x7FFFFFFF;
    add("absurd height", f);
    f = good, f.width = BitmapImage::maxSide, f.height = BitmapImage::maxSide, f.bitCount = 24,
    f.compression = 0, f.sizeImage = 0;
    add("largest picture in a tiny file", f);
    f = good, f.sizeImage = 7;
    add("image size smaller than its rows", f);
    f = good, f.sizeImage = static_cast<uint32_t>(goodBytes.size()) - 60;
    add("pixel data starting inside the masks", f);
    f = good, f.compression = 0, f.between.clear(), f.sizeImage = 16;
    add("pixel data starting inside the headers", f);
    f = good, f.sizeImage = static_cast<uint32_t>(goodBytes.size()) + 1;
    add("pixel data starting before the file", f);
    f = good, f.sizeImage = 0xFFFFFFFF;
    add("image size of 4 GB", f);
    f = good, f.between = Masks(0xF800, 0x07E0, 0x001F);
    add("5-6-5 masks", f);
    f = good, f.between = Masks(0, 0, 0);
    add("empty masks", f);
    f = good, f.bitCount = 24;
    add("bit-field masks on 24 bits", f);
    for (uint32_t compression : {1u, 2u, 4u, 5u, 0xFFFFFFFFu}) {
        f = good, f.compression = compression;
        add("compressed", f);
    }
    for (uint16_t bits : {0, 1, 4, 15, 32, 48, 0xFFFF}) {
        f = good, f.bitCount = bits, f.compression = 0, f.between.clear();
        add("unreadable depth", f);
    }

    FileBytes indexed;
    indexed.bitCount = 8;
    indexed.pixelData = {0, 0, 0, 0};
    indexed.between.assign(1024, 7);
    f = indexed, f.between.resize(100);
    add("pixel data starting inside the colour table", f);
    f = indexed, f.headerSize = 0x7FFFFFF0;
    add("colour table past the end of the file", f);
    return files;
}

TEST(BitmapImageMemory, HostileFilesAreRefusedWithoutPixels) {
    for (const Hostile& file : HostileFiles()) {
        BitmapImage image;
        EXPECT_EQ(LoadBytes(image, file.bytes), 0) << file.what;
        EXPECT_EQ(image.pixels, nullptr) << file.what;
    }
}

// Every cut of a good file stops short of its pixel data and must be refused.
TEST(BitmapImageMemory, EveryTruncationIsRefused) {
    const std::vector<uint8_t> bytes = SixteenBit2x2().Build();
    for (size_t size = 0; size < bytes.size(); ++size) {
        BitmapImage image;
        EXPECT_EQ(image.LoadFromMemory(bytes.data(), size), 0) << size;
        EXPECT_EQ(image.pixels, nullptr) << size;
    }
}

}  // namespace
