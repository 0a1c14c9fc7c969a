// BitmapImage: reading a bitmap file into top-row-first pixels, its row flip and
// the 5-5-5 to 5-6-5 conversion. Every size in the file is checked against the
// file's length before anything is allocated or copied.
#include "sprites/bitmap_image.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr uint16_t bitmapType = 0x4D42;  // "BM"
constexpr uint32_t CompressionNone = 0;
constexpr uint32_t CompressionBitFields = 3;
constexpr size_t fileHeaderSize = 14;
constexpr size_t infoHeaderSize = 40;
constexpr size_t headersSize = fileHeaderSize + infoHeaderSize;
// The red, green and blue masks of a bit-field file sit right after the
// 40 bytes every information header starts with, whatever its full size.
constexpr size_t masksSize = 12;
// Room for the largest picture accepted, with its headers and colour table. A
// longer file is refused before it is read, and so is anything whose length
// cannot be told (a folder opens as a file whose length reads as the largest
// long there is).
constexpr long maxFileBytes = 1L << 30;
static_assert(maxFileBytes > 4096 + (3LL * BitmapImage::maxSide + 3) * BitmapImage::maxSide);

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}

void ReadFileHeader(const uint8_t* p, BitmapFileHeader& header) {
    header.bfType = ReadU16(p);
    header.bfSize = ReadU32(p + 2);
    header.bfReserved1 = ReadU16(p + 6);
    header.bfReserved2 = ReadU16(p + 8);
    header.bfOffBits = ReadU32(p + 10);
}

void ReadInfoHeader(const uint8_t* p, BitmapInfoHeader& header) {
    header.biSize = ReadU32(p);
    header.biWidth = ReadI32(p + 4);
    header.biHeight = ReadI32(p + 8);
    header.biPlanes = ReadU16(p + 12);
    header.biBitCount = ReadU16(p + 14);
    header.biCompression = ReadU32(p + 16);
    header.biSizeImage = ReadU32(p + 20);
    header.biXPelsPerMeter = ReadI32(p + 24);
    header.biYPelsPerMeter = ReadI32(p + 28);
    header.biClrUsed = ReadU32(p + 32);
    header.biClrImportant = ReadU32(p + 36);
}

// 16-bit files are taken as 5-5-5. A bit-field file is accepted only when its
// masks say exactly that; any other layout would be misread.
bool HasMasks555(const uint8_t* masks) {
    return ReadU32(masks) == 0x7C00 && ReadU32(masks + 4) == 0x03E0 && ReadU32(masks + 8) == 0x001F;
}

// 24-bit blue, green, red bytes to a 5-5-5 pixel, each channel cut to five bits.
uint16_t Pixel555(const uint8_t* bgr) {
    return static_cast<uint16_t>(bgr[0] >> 3 | (bgr[1] >> 3) << 5 | (bgr[2] >> 3) << 10);
}

}  // namespace

int BitmapImage::Load(const char* fileName) {
    ReleasePixels();
    if (fileName == nullptr) {
        return 0;
    }
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return 0;
    }
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        length = std::ftell(file);
    }
    if (length < 0 || length > maxFileBytes || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return 0;
    }
    const size_t size = static_cast<size_t>(length);
    uint8_t* data = new (std::nothrow) uint8_t[size > 0 ? size : 1];
    if (data == nullptr) {
        std::fclose(file);
        return 0;
    }
    const size_t got = std::fread(data, 1, size, file);
    std::fclose(file);
    const int result = LoadFromMemory(data, got);
    delete[] data;
    return result;
}

int BitmapImage::LoadFromMemory(const uint8_t* data, size_t size) {
    ReleasePixels();
    if (data == nullptr || size < headersSize) {
        return 0;
    }
    ReadFileHeader(data, fileHeader);
    if (fileHeader.bfType != bitmapType) {
        return 0;
    }
    ReadInfoHeader(data + fileHeaderSize, infoHeader);

    const int32_t width = infoHeader.biWidth;
    const int32_t height = infoHeader.biHeight;
    const uint32_t bitCount = infoHeader.biBitCount;
    // Negative heights (top-down files) are refused along with empty and absurd sizes.
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) {
        return 0;
    }
    if (bitCount != 8 && bitCount != 16 && bitCount != 24) {
        return 0;
    }

    // Everything before the pixel data that the loader reads: the two headers,
    // the masks of a bit-field file, the colour table of an 8-bit file.
    size_t headEnd = headersSize;
    size_t paletteStart = 0;
    size_t paletteEntries = 0;
    if (infoHeader.biCompression == CompressionBitFields) {
        if (bitCount != 16 || size < headersSize + masksSize || !HasMasks555(data + headersSize)) {
            return 0;
        }
        headEnd = headersSize + masksSize;
    } else if (infoHeader.biCompression != CompressionNone) {
        return 0;
    }
    if (bitCount == 8) {
        // The colour table follows the whole information header, which newer
        // files make longer than 40 bytes. Colours-used 0 means all 256.
        paletteStart = fileHeaderSize +
                       (infoHeader.biSize > infoHeaderSize ? infoHeader.biSize : infoHeaderSize);
        paletteEntries =
            infoHeader.biClrUsed == 0 || infoHeader.biClrUsed > 256 ? 256 : infoHeader.biClrUsed;
        headEnd = paletteStart + paletteEntries * 4;
    }

    // Stored rows are padded to whole 4-byte words. A zero image size, allowed for
    // uncompressed files, stands for exactly the padded rows. The pixel data is
    // the last image-size bytes of the file, wherever the file header says it is.
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    const uint64_t neededBytes = rowBytes * static_cast<uint64_t>(height);
    const uint64_t imageSize = infoHeader.biSizeImage != 0 ? infoHeader.biSizeImage : neededBytes;
    if (imageSize < neededBytes || imageSize > size || size - imageSize < headEnd) {
        return 0;
    }
    const uint8_t* stored = data + (size - imageSize);

    const size_t bytesPerPixel = bitCount == 8 ? 1 : 2;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    pixels = new (std::nothrow) uint8_t[count * bytesPerPixel];
    if (pixels == nullptr) {
        return 0;
    }

    // Rows are unpacked in stored order (bottom first) and flipped afterwards.
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* source = stored + static_cast<size_t>(rowBytes) * y;
        if (bitCount == 8) {
            std::memcpy(pixels + static_cast<size_t>(width) * y, source, width);
            continue;
        }
        uint16_t* target = reinterpret_cast<uint16_t*>(pixels) + static_cast<size_t>(width) * y;
        for (int32_t x = 0; x < width; ++x) {
            target[x] = bitCount == 16 ? ReadU16(source + 2 * x) : Pixel555(source + 3 * x);
        }
    }

    if (bitCount == 8) {
        // Entries past the ones the file declares are not colours; they stay black.
        const uint8_t* entry = data + paletteStart;
        for (size_t i = 0; i < 256; ++i) {
            palette[i] = BitmapPaletteEntry{};
            if (i < paletteEntries) {
                palette[i].red = entry[4 * i + 2];
                palette[i].green = entry[4 * i + 1];
                palette[i].blue = entry[4 * i];
            }
            palette[i].flags = 4;
        }
    }
    infoHeader.biBitCount = static_cast<uint16_t>(bitCount == 8 ? 8 : 16);

    // A flip that finds no scratch memory leaves the rows bottom first; the
    // picture is still usable, so the load still succeeds.
    FlipRows();
#if KIVORO_PIXEL_565
    if (infoHeader.biBitCount == 16) {
        ConvertTo565();
    }
#endif
    return 1;
}

int BitmapImage::FlipRows() {
    const int32_t width = infoHeader.biWidth;
    const int32_t height = infoHeader.biHeight;
    // The buffer holds one byte per pixel or two, never more: any other depth in
    // the header would make the rows longer than the buffer.
    const uint16_t bitCount = infoHeader.biBitCount;
    if (pixels == nullptr || width <= 0 || height <= 0 || (bitCount != 8 && bitCount != 16)) {
        return 0;
    }
    const size_t rowLength = static_cast<size_t>(bitCount / 8) * width;
    const size_t total = rowLength * static_cast<size_t>(height);
    uint8_t* scratch = new (std::nothrow) uint8_t[total];
    if (scratch == nullptr) {
        return 0;
    }
    std::memcpy(scratch, pixels, total);
    for (int32_t i = 0; i < height; ++i) {
        std::memcpy(pixels + rowLength * (height - 1 - i), scratch + rowLength * i, rowLength);
    }
    delete[] scratch;
    return 1;
}

// Red moves up one bit to make room for a sixth green bit, which stays 0; bit 15
// of the old pixel is dropped.
void BitmapImage::ConvertTo565() {
    const int32_t width = infoHeader.biWidth;
    const int32_t height = infoHeader.biHeight;
    if (pixels == nullptr || width <= 0 || height <= 0 || infoHeader.biBitCount != 16) {
        return;
    }
    uint16_t* p = reinterpret_cast<uint16_t*>(pixels);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) {
        const uint16_t red = (p[i] & 0x7C00) >> 10;
        const uint16_t green = (p[i] & 0x03E0) >> 5;
        const uint16_t blue = p[i] & 0x001F;
        p[i] = static_cast<uint16_t>(red << 11 | green << 6 | blue);
    }
}

void BitmapImage::ReleasePixels() {
    delete[] pixels;
    pixels = nullptr;
}
