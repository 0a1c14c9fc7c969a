// Run-length sprite encoder: the row format on known rows, literal encoding,
// round trips of many random cells through a reference decoder (which also
// checks that EncodedLength is exactly what the emitting pass writes), and the
// cells and sheets LoadCell refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sprites/bitmap_image.h"
#include "sprites/rle_sprite.h"

namespace {

constexpr uint16_t key = 0x7C1F;  // the colour key in these tests
constexpr uint16_t p1 = 0x0101, p2 = 0x0102, p3 = 0x0103, p4 = 0x0104, p5 = 0x0105, p6 = 0x0106;

// A 16-bit sheet held by the test; the image only borrows its pixels.
struct Sheet {
    std::vector<uint16_t> pixels;
    BitmapImage image;

    Sheet(int32_t width, int32_t height, std::vector<uint16_t> content)
        : pixels(std::move(content)) {
        image.infoHeader.biWidth = width;
        image.infoHeader.biHeight = height;
        image.infoHeader.biBitCount = 16;
        image.pixels = reinterpret_cast<uint8_t*>(pixels.data());
    }
    ~Sheet() { image.pixels = nullptr; }
};

std::vector<uint16_t> Encode(const std::vector<uint16_t>& cell, int32_t width, int32_t height,
                             int32_t mode = 1) {
    Sheet sheet(width, height, cell);
    RleSprite sprite;
    sprite.Bind(nullptr, width, height);
    EXPECT_EQ(sprite.LoadCellFromImage(sheet.image, 0, 0, mode, key), 1);
    const size_t length = mode == 1 ? sprite.EncodedLength(cell.data(), width, key)
                                    : static_cast<size_t>(width + 1) * height;
    return std::vector<uint16_t>(sprite.rleData, sprite.rleData + length);
}

using Words = std::vector<uint16_t>;

TEST(RleSpriteEncode, RowExamples) {
    struct Row {
        Words pixels;
        Words encoded;
    };
    const Row rows[] = {
        {{key, key, p1, p2, key, p3}, {3, 2, 2, p1, p2, 1, 1, p3}},
        {{p1, p2, key, key, key, key}, {2, 0, 2, p1, p2}},
        {{key, key, key, p1, p2, p3}, {2, 3, 3, p1, p2, p3}},
        {{p1, key, p2, key, p3, key}, {4, 0, 1, p1, 1, 1, p2, 1, 1, p3}},
        {{p1, p2, p3, p4, p5, p6}, {1, p1, p2, p3, p4, p5, p6}},
        {{key, key, key, key, key, key}, {0}},
    };
    Words cell;
    Words expected;
    RleSprite sprite;
    sprite.Bind(nullptr, 6, 1);
    for (const Row& row : rows) {
        EXPECT_EQ(sprite.CountRowSegments(row.pixels.data(), key), row.encoded[0]);
        EXPECT_EQ(sprite.EncodedLength(row.pixels.data(), 6, key),
                  static_cast<int32_t>(row.encoded.size()));
        cell.insert(cell.end(), row.pixels.begin(), row.pixels.end());
        expected.insert(expected.end(), row.encoded.begin(), row.encoded.end());
    }
    // All six rows as one cell: rows follow one another with nothing between.
    EXPECT_EQ(Encode(cell, 6, 6), expected);
}

TEST(RleSpriteEncode, LiteralModeStoresKeyPixels) {
    const Words cell = {key, p1, key, key, key, key};
    EXPECT_EQ(Encode(cell, 3, 2, 0), (Words{1, key, p1, key, 1, key, key, key}));
    EXPECT_EQ(Encode(cell, 3, 2, 7), (Words{1, key, p1, key, 1, key, key, key}));
}

TEST(RleSpriteEncode, WholeCellsOfKeyOrOfOpaquePixels) {
    EXPECT_EQ(Encode(Words(12, key), 4, 3), Words(3, 0));
    const Words opaque = {p1, p2, p3, p4, p5, p6};
    EXPECT_EQ(Encode(opaque, 3, 2), Encode(opaque, 3, 2, 0));
}

TEST(RleSpriteEncode, WidthOne) {
    EXPECT_EQ(Encode({key, p1, key, p2}, 1, 4), (Words{0, 1, p1, 0, 1, p2}));
}

// Decodes the sprite's rows back into pixels (key where transparent), checking
// the format's rules on the way; returns the number of words read.
size_t Decode(const RleSprite& sprite, Words& out) {
    const uint16_t* p = sprite.rleData;
    out.assign(static_cast<size_t>(sprite.width) * sprite.height, key);
    for (int32_t y = 0; y < sprite.height; ++y) {
        uint16_t* row = out.data() + static_cast<size_t>(y) * sprite.width;
        const uint16_t header = *p++;
        if (header == 1) {
            std::copy(p, p + sprite.width, row);
            p += sprite.width;
            for (int32_t x = 0; x < sprite.width; ++x) {
                EXPECT_NE(row[x], key) << "literal row " << y << " holds a key pixel";
            }
            continue;
        }
        int32_t x = 0;
        for (int segment = 1; segment < header; ++segment) {
            const uint16_t skip = *p++;
            const uint16_t length = *p++;
            EXPECT_TRUE(segment == 1 || skip > 0) << "row " << y;
            EXPECT_GT(length, 0) << "row " << y;
            x += skip;
            EXPECT_LE(x + length, sprite.width) << "row " << y;
            if (x + length > sprite.width) {
                return 0;
            }
            std::copy(p, p + length, row + x);
            p += length;
            x += length;
        }
    }
    return static_cast<size_t>(p - sprite.rleData);
}

TEST(RleSpriteEncode, RandomCellsRoundTripInExactlyTheirEncodedLength) {
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    for (int trial = 0; trial < 400; ++trial) {
        const int32_t width = 1 + next() % 11;
        const int32_t height = 1 + next() % 5;
        // Sheets of 3 x 2 cells; mostly key or mostly opaque cells both occur.
        const int32_t sheetWidth = 3 * width;
        const int32_t sheetHeight = 2 * height;
        const uint32_t keyShare = next() % 5;
        Words pixels(static_cast<size_t>(sheetWidth) * sheetHeight);
        for (uint16_t& pixel : pixels) {
            pixel = next() % 4 < keyShare ? key : static_cast<uint16_t>(next() % 3);
        }
        Sheet sheet(sheetWidth, sheetHeight, pixels);
        const int32_t column = next() % 3;
        const int32_t row = next() % 2;
        RleSprite sprite;
        sprite.Bind(nullptr, width, height);
        ASSERT_EQ(sprite.LoadCellFromImage(sheet.image, column, row, 1, key), 1);

        const uint16_t* cell = pixels.data() + row * height * sheetWidth + column * width;
        Words decoded;
        EXPECT_EQ(Decode(sprite, decoded),
                  static_cast<size_t>(sprite.EncodedLength(cell, sheetWidth, key)))
            << "trial " << trial;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                ASSERT_EQ(decoded[y * width + x], cell[y * sheetWidth + x])
                    << "trial " << trial << " pixel " << x << ", " << y;
            }
        }
    }
}

// The counts stop at their limit: the buffers hold exactly limit pixels, so a
// read of p[limit] shows under the address sanitizer.
TEST(RleSpriteEncode, PixelCountsStopAtTheLimit) {
    auto* keys = new uint16_t[3]{key, key, key};
    auto* opaque = new uint16_t[3]{p1, p2, p3};
    EXPECT_EQ(CountKeyPixels(keys, 3, key), 3);
    EXPECT_EQ(CountOpaquePixels(opaque, 3, key), 3);
    EXPECT_EQ(CountKeyPixels(keys, 2, key), 2);
    EXPECT_EQ(CountKeyPixels(opaque, 3, key), 0);
    EXPECT_EQ(CountOpaquePixels(keys, 3, key), 0);
    EXPECT_EQ(CountOpaquePixels(opaque, 0, key), 0);
    delete[] keys;
    delete[] opaque;
}

TEST(RleSpriteEncode, CellsAreCutFromTheirPlaceInTheSheet) {
    // A 4 x 2 sheet of 2 x 1 cells: cell (c, r) holds pixels 10 r + 2 c, + 1.
    Sheet sheet(4, 2, {0, 1, 2, 3, 10, 11, 12, 13});
    RleSprite sprite;
    sprite.Bind(nullptr, 2, 1);
    ASSERT_EQ(sprite.LoadCellFromImage(sheet.image, 1, 1, 1, key), 1);
    EXPECT_EQ(Words(sprite.rleData, sprite.rleData + 3), (Words{1, 12, 13}));
    // A second cut replaces the first (the sanitizer build shows no leak).
    ASSERT_EQ(sprite.LoadCellFromImage(sheet.image, 0, 1, 1, key), 1);
    EXPECT_EQ(Words(sprite.rleData, sprite.rleData + 3), (Words{1, 10, 11}));
}

TEST(RleSpriteEncode, PixelBlocksAreReadRowByRowAtTheirStride) {
    // A 3 x 2 block inside rows 5 pixels apart; the 9s are outside it.
    const Words block = {key, p1, p2, 9, 9, p3, key, key, 9, 9};
    RleSprite sprite;
    sprite.Bind(nullptr, 3, 2);
    ASSERT_EQ(sprite.LoadFromPixels(block.data(), 5, EncodingKeyed, key), 1);
    EXPECT_EQ(Words(sprite.rleData, sprite.rleData + 9), (Words{2, 1, 2, p1, p2, 2, 0, 1, p3}));
    ASSERT_EQ(sprite.LoadFromPixels(block.data(), 5, EncodingLiteral, key), 1);
    EXPECT_EQ(Words(sprite.rleData, sprite.rleData + 8), (Words{1, key, p1, p2, 1, p3, key, key}));

    // No pixels, or rows closer together than the sprite is wide: refused, and
    // the earlier picture stays.
    const uint16_t* before = sprite.rleData;
    EXPECT_EQ(sprite.LoadFromPixels(nullptr, 5, EncodingKeyed, key), 0);
    EXPECT_EQ(sprite.LoadFromPixels(block.data(), 2, EncodingKeyed, key), 0);
    EXPECT_EQ(sprite.rleData, before);
}

TEST(RleSpriteEncode, RefusedCellsLeaveTheEarlierData) {
    Sheet sheet(4, 4, Words(16, p1));
    RleSprite sprite;
    sprite.Bind(nullptr, 2, 2);
    ASSERT_EQ(sprite.LoadCellFromImage(sheet.image, 1, 1, 1, key), 1);
    const uint16_t* before = sprite.rleData;

    struct Cut {
        int32_t column, row;
    };
    for (Cut cut :
         {Cut{2, 0}, Cut{0, 2}, Cut{-1, 0}, Cut{0, -1}, Cut{0x7FFFFFFF, 0}, Cut{0, 0x40000000}}) {
        EXPECT_EQ(sprite.LoadCellFromImage(sheet.image, cut.column, cut.row, 1, key), 0)
            << cut.column << ", " << cut.row;
    }
    // Cells wider or taller than the whole sheet.
    sprite.Bind(nullptr, 5, 1);
    EXPECT_EQ(sprite.LoadCellFromImage(sheet.image, 0, 0, 1, key), 0);
    sprite.Bind(nullptr, 1, 5);
    EXPECT_EQ(sprite.LoadCellFromImage(sheet.image, 0, 0, 1, key), 0);
    sprite.Bind(nullptr, 0, 2);
    EXPECT_EQ(sprite.LoadCellFromImage(sheet.image, 0, 0, 1, key), 0);
    sprite.Bind(nullptr, 2, 2);

    sheet.image.infoHeader.biBitCount = 8;
    EXPECT_EQ(sprite.LoadCellFromImage(sheet.image, 0, 0, 1, key), 0);
    sheet.image.infoHeader.biBitCount = 16;
    BitmapImage empty;
    empty.infoHeader = sheet.image.infoHeader;
    EXPECT_EQ(sprite.LoadCellFromImage(empty, 0, 0, 1, key), 0);

    EXPECT_EQ(sprite.rleData, before);
    EXPECT_EQ(Words(sprite.rleData, sprite.rleData + 3), (Words{1, p1, p1}));
}

TEST(RleSpriteEncode, LoadCellReadsTheSheetFile) {
    const std::string sheet = std::string(KIVORO_TEST_DATA_DIR) + "/rgb24_5x3.bmp";
    const std::string indexed = std::string(KIVORO_TEST_DATA_DIR) + "/indexed8_5x4.bmp";
    RleSprite sprite;
    sprite.Bind(nullptr, 5, 1);
    EXPECT_EQ(sprite.LoadCell("missing.bmp", 0, 0, 1, key), 0);
    EXPECT_EQ(sprite.LoadCell(indexed.c_str(), 0, 0, 1, key), 0);
    EXPECT_EQ(sprite.LoadCell(sheet.c_str(), 0, 3, 1, key), 0);
    EXPECT_EQ(sprite.rleData, nullptr);

    // Row 1 of the picture is black, brown, white, blue, red; black is the key.
#if KIVORO_PIXEL_565
    const Words expected = {2, 1, 4, 0xCB06, 0xFFDF, 0x001F, 0xF800};
#else
    const Words expected = {2, 1, 4, 0x6586, 0x7FFF, 0x001F, 0x7C00};
#endif
    ASSERT_EQ(sprite.LoadCell(sheet.c_str(), 0, 1, 1, 0x0000), 1);
    EXPECT_EQ(Words(sprite.rleData, sprite.rleData + expected.size()), expected);
}

}  // namespace
