// OpacityMask: bitmap loading and run encoding.
#include "engine/display/opacity_mask.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

constexpr size_t fileHeaderSize = 14;
constexpr size_t infoHeaderSize = 40;

}  // namespace

OpacityMask::OpacityMask(int32_t width, int32_t height) {
    if (width > 0 && height > 0 && static_cast<int64_t>(width) * height <= (1 << 28)) {
        this->width = width;
        this->height = height;
        values.assign(static_cast<size_t>(width) * height, 0);
    }
}

bool OpacityMask::LoadBitmap(const uint8_t* bytes, size_t length, int32_t x, int32_t y) {
    if (bytes == nullptr || length < fileHeaderSize + infoHeaderSize || bytes[0] != 'B' ||
        bytes[1] != 'M') {
        return false;
    }
    const uint8_t* info = bytes + fileHeaderSize;
    const uint32_t pixelOffset = ReadU32(bytes + 10);
    const int32_t bitmapWidth = static_cast<int32_t>(ReadU32(info + 4));
    const int32_t rawHeight = static_cast<int32_t>(ReadU32(info + 8));
    const uint16_t bitCount = ReadU16(info + 14);
    const uint32_t compression = ReadU32(info + 16);
    if (ReadU32(info) < infoHeaderSize || bitCount != 8 || compression != 0 || bitmapWidth <= 0 ||
        rawHeight == 0 || rawHeight == INT32_MIN) {
        return false;
    }
    const bool bottomUp = rawHeight > 0;
    const int64_t bitmapHeight = bottomUp ? rawHeight : -static_cast<int64_t>(rawHeight);
    const int64_t rowBytes = (static_cast<int64_t>(bitmapWidth) + 3) / 4 * 4;
    if (pixelOffset > length ||
        static_cast<uint64_t>(rowBytes) * bitmapHeight > length - pixelOffset) {
        return false;
    }
    for (int64_t row = 0; row < bitmapHeight; ++row) {
        const int64_t maskRow = y + row;
        if (maskRow < 0 || maskRow >= height) {
            continue;
        }
        const int64_t fileRow = bottomUp ? bitmapHeight - 1 - row : row;
        const uint8_t* source = bytes + pixelOffset + fileRow * rowBytes;
        for (int64_t column = 0; column < bitmapWidth; ++column) {
            const int64_t maskColumn = x + column;
            if (maskColumn >= 0 && maskColumn < width) {
                values[maskRow * width + maskColumn] = source[column];
            }
        }
    }
    return true;
}

void OpacityMask::Encode(int32_t threshold) {
    runs.clear();
    runStarts.assign(1, 0);
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* line = values.data() + static_cast<size_t>(row) * width;
        int32_t column = 0;
        while (column < width) {
            while (column < width && line[column] < threshold) {
                ++column;
            }
            const int32_t first = column;
            while (column < width && line[column] >= threshold) {
                ++column;
            }
            if (column > first) {
                runs.push_back(Run{first, column - first});
            }
        }
        runStarts.push_back(static_cast<int32_t>(runs.size()));
    }
}

uint8_t OpacityMask::At(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return values[static_cast<size_t>(y) * width + x];
}
