// RleSprite's encoder: cutting one cell of a 16-bit sheet and run-length
// encoding its colour-key pixels away (format in rle_sprite.h). Drawing is in
// rle_sprite_draw.cpp.
#include "sprites/rle_sprite.h"

#include <cstring>
#include <new>

#include "sprites/bitmap_image.h"

namespace {

constexpr uint16_t HeaderLiteral = 1;
// Skip and length words hold pixel counts within one row.
constexpr int32_t maxWidth = 0xFFFF;

}  // namespace

RleSprite::~RleSprite() {
    delete[] rleData;
    rleData = nullptr;
}

void RleSprite::Bind(Screen* boundScreen, int32_t boundWidth, int32_t boundHeight) {
    screen = boundScreen;
    width = boundWidth;
    height = boundHeight;
    blankTop = 0;
    blankBottom = 0;
}

int32_t CountKeyPixels(const uint16_t* p, int32_t limit, uint16_t key) {
    int32_t n = 0;
    while (n < limit && p[n] == key) {
        ++n;
    }
    return n;
}

int32_t CountOpaquePixels(const uint16_t* p, int32_t limit, uint16_t key) {
    int32_t n = 0;
    while (n < limit && p[n] != key) {
        ++n;
    }
    return n;
}

// H is 0 for a row of key pixels only, 1 for a row with no key pixel (stored
// literally), otherwise 1 + the number of opaque runs.
int32_t RleSprite::CountRowSegments(const uint16_t* rowStart, uint16_t colourKey) const {
    int32_t x = 0;
    int32_t n = 0;
    while (x < width) {
        const int32_t skip = CountKeyPixels(rowStart + x, width - x, colourKey);
        x += skip;
        if (x == width) {
            break;
        }
        x += CountOpaquePixels(rowStart + x, width - x, colourKey);
        if (n == 0) {
            n = 1;
            if (x == width && skip == 0) {
                break;
            }
        }
        ++n;
        if (x == width) {
            break;
        }
    }
    return n;
}

// Row lengths in words: 1 for H = 0, width + 1 for H = 1, and
// 1 + 2 (H - 1) + opaque pixels for H >= 2.
int32_t RleSprite::EncodedLength(const uint16_t* cellTopLeft, int32_t sheetWidth,
                                 uint16_t colourKey) const {
    int64_t total = 0;
    const uint16_t* row = cellTopLeft;
    for (int32_t y = 0; y < height; ++y, row += sheetWidth) {
        const int32_t header = CountRowSegments(row, colourKey);
        if (header == HeaderLiteral) {
            total += 1 + static_cast<int64_t>(width);
            continue;
        }
        int64_t opaque = 0;
        for (int32_t x = 0; x < width;) {
            x += CountKeyPixels(row + x, width - x, colourKey);
            const int32_t run = CountOpaquePixels(row + x, width - x, colourKey);
            opaque += run;
            x += run;
        }
        total += 1 + 2 * static_cast<int64_t>(header > 0 ? header - 1 : 0) + opaque;
    }
    return static_cast<int32_t>(total);
}

int RleSprite::LoadCell(const char* fileName, int32_t column, int32_t row, int32_t mode,
                        uint16_t colourKey) {
    BitmapImage sheet;
    if (sheet.Load(fileName) == 0) {
        return 0;
    }
    const int result = LoadCellFromImage(sheet, column, row, mode, colourKey);
    sheet.ReleasePixels();
    return result;
}

// Refuses, leaving rleData as it was, a sheet without 16-bit pixels and a cell
// that does not lie wholly inside the sheet; the cell is then encoded in place.
int RleSprite::LoadCellFromImage(const BitmapImage& sheet, int32_t column, int32_t row,
                                 int32_t mode, uint16_t colourKey) {
    const int32_t sheetWidth = sheet.infoHeader.biWidth;
    const int32_t sheetHeight = sheet.infoHeader.biHeight;
    if (sheet.pixels == nullptr || sheet.infoHeader.biBitCount != 16 || sheetWidth <= 0 ||
        sheetHeight <= 0) {
        return 0;
    }
    if (width <= 0 || height <= 0 || width > maxWidth || column < 0 || row < 0 ||
        (static_cast<int64_t>(column) + 1) * width > sheetWidth ||
        (static_cast<int64_t>(row) + 1) * height > sheetHeight) {
        return 0;
    }

    const uint16_t* cell = reinterpret_cast<const uint16_t*>(sheet.pixels) +
                           static_cast<size_t>(row) * height * sheetWidth +
                           static_cast<size_t>(column) * width;
    return LoadFromPixels(cell, sheetWidth, mode, colourKey);
}

// A successful call replaces (and frees) the data of an earlier one.
int RleSprite::LoadFromPixels(const uint16_t* pixels, int32_t stride, int32_t mode,
                              uint16_t colourKey) {
    if (pixels == nullptr || width <= 0 || height <= 0 || width > maxWidth || stride < width) {
        return 0;
    }
    const bool keyed = mode == EncodingKeyed;
    const size_t length = keyed ? static_cast<size_t>(EncodedLength(pixels, stride, colourKey))
                                : (static_cast<size_t>(width) + 1) * height;
    uint16_t* data = new (std::nothrow) uint16_t[length];
    if (data == nullptr) {
        return 0;
    }

    uint16_t* out = data;
    const uint16_t* source = pixels;
    int32_t firstDrawn = -1;
    int32_t lastDrawn = -1;
    for (int32_t y = 0; y < height; ++y, source += stride) {
        const int32_t header = keyed ? CountRowSegments(source, colourKey) : HeaderLiteral;
        *out++ = static_cast<uint16_t>(header);
        if (header != 0) {
            firstDrawn = firstDrawn < 0 ? y : firstDrawn;
            lastDrawn = y;
        }
        if (header == HeaderLiteral) {
            std::memcpy(out, source, sizeof(uint16_t) * width);
            out += width;
            continue;
        }
        int32_t x = 0;
        for (int32_t segment = 1; segment < header; ++segment) {
            const int32_t skip = CountKeyPixels(source + x, width - x, colourKey);
            x += skip;
            const int32_t run = CountOpaquePixels(source + x, width - x, colourKey);
            *out++ = static_cast<uint16_t>(skip);
            *out++ = static_cast<uint16_t>(run);
            std::memcpy(out, source + x, sizeof(uint16_t) * run);
            out += run;
            x += run;
        }
    }

    delete[] rleData;
    rleData = data;
    blankTop = firstDrawn < 0 ? height : firstDrawn;
    blankBottom = firstDrawn < 0 ? 0 : height - 1 - lastDrawn;
    return 1;
}
