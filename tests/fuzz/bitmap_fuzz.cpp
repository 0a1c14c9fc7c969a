// Loads arbitrary bytes as a bitmap file and cuts every cell it can from the
// picture at a few cell sizes, keyed and literal, checking each encoding's rows
// against the sprite's extent and its EncodedLength.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

#include "sprites/bitmap_image.h"
#include "sprites/rle_sprite.h"

namespace {

// Walks the encoded rows the way every reader does; aborts on a row that reaches
// past the sprite's width. Returns the number of words walked.
size_t WalkRows(const RleSprite& sprite) {
    const uint16_t* p = sprite.rleData;
    for (int32_t y = 0; y < sprite.height; ++y) {
        const uint16_t header = *p++;
        if (header == 1) {
            p += sprite.width;
            continue;
        }
        int32_t x = 0;
        for (int segment = 1; segment < header; ++segment) {
            x += p[0] + p[1];
            if (p[1] == 0 || x > sprite.width) {
                std::abort();
            }
            p += 2 + p[1];
        }
    }
    return static_cast<size_t>(p - sprite.rleData);
}

struct CellSize {
    int32_t width, height;
};
constexpr CellSize cellSizes[] = {{1, 1}, {3, 2}, {8, 8}, {21, 21}, {48, 48}, {54, 54}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BitmapImage image;
    if (image.LoadFromMemory(data, size) == 0) {
        if (image.pixels != nullptr) {
            std::abort();
        }
        return 0;
    }
    const int32_t sheetWidth = image.infoHeader.biWidth;
    const int32_t sheetHeight = image.infoHeader.biHeight;
    const uint16_t key =
        image.infoHeader.biBitCount == 16 ? reinterpret_cast<const uint16_t*>(image.pixels)[0] : 0;
    for (CellSize cell : cellSizes) {
        RleSprite sprite;
        sprite.Bind(nullptr, cell.width, cell.height);
        // One row and one column past the last whole cell, which must be refused.
        for (int32_t row = 0; row <= sheetHeight / cell.height; ++row) {
            for (int32_t column = 0; column <= sheetWidth / cell.width; ++column) {
                for (int32_t mode : {1, 0}) {
                    const int loaded = sprite.LoadCellFromImage(image, column, row, mode, key);
                    const bool inside = (column + 1) * cell.width <= sheetWidth &&
                                        (row + 1) * cell.height <= sheetHeight &&
                                        image.infoHeader.biBitCount == 16;
                    if (loaded != (inside ? 1 : 0)) {
                        std::abort();
                    }
                    if (loaded == 0) {
                        continue;
                    }
                    const uint16_t* topLeft = reinterpret_cast<const uint16_t*>(image.pixels) +
                                              row * cell.height * sheetWidth + column * cell.width;
                    const size_t expected =
                        mode == 1
                            ? static_cast<size_t>(sprite.EncodedLength(topLeft, sheetWidth, key))
                            : static_cast<size_t>(cell.width + 1) * cell.height;
                    if (WalkRows(sprite) != expected) {
                        std::abort();
                    }
                }
            }
        }
    }
    image.ReleasePixels();
    return 0;
}
