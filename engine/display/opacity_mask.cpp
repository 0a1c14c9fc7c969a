// OpacityMask: building from bitmaps and Surfaces, blurring, scaling and run
// encoding.
#include "engine/display/opacity_mask.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "engine/little_endian.h"

namespace {

constexpr size_t fileHeaderSize = 14;
constexpr size_t infoHeaderSize = 40;

bool ValidSize(int32_t width, int32_t height) {
    return width > 0 && height > 0 && width <= maxSurfaceSide && height <= maxSurfaceSide;
}

const uint16_t* PixelRow(const Surface& surface, int32_t y) {
    return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(surface.pixels) +
                                             int64_t{y} * surface.pitch);
}

// One pass of the box blur over `count` samples `stride` apart. Each window
// sum is taken from prefix sums, with the samples beyond either end counted as
// copies of the end sample, so the cost does not depend on the radius.
void BlurLine(uint8_t* first, int32_t count, ptrdiff_t stride, int64_t radius,
              std::vector<int64_t>& prefix) {
    prefix[0] = 0;
    for (int32_t i = 0; i < count; ++i) {
        prefix[i + 1] = prefix[i] + first[i * stride];
    }
    const int64_t head = first[0];
    const int64_t tail = first[(count - 1) * stride];
    const int64_t window = 2 * radius + 1;
    for (int32_t i = 0; i < count; ++i) {
        const int64_t low = i - radius;
        const int64_t high = i + radius;
        const int64_t before = std::max<int64_t>(0, -low);
        const int64_t after = std::max<int64_t>(0, high - (count - 1));
        const int64_t inside =
            prefix[std::min<int64_t>(high, count - 1) + 1] - prefix[std::max<int64_t>(low, 0)];
        const int64_t sum = before * head + inside + after * tail;
        first[i * stride] = static_cast<uint8_t>((sum + window / 2) / window);
    }
}

}  // namespace

OpacityMask::OpacityMask(int32_t width, int32_t height) {
    Resize(width, height);
}

bool OpacityMask::LoadBitmap(const uint8_t* bytes, size_t length, int32_t x, int32_t y) {
    if (bytes == nullptr || length < fileHeaderSize + infoHeaderSize || bytes[0] != 'B' ||
        bytes[1] != 'M') {
        return false;
    }
    const uint8_t* info = bytes + fileHeaderSize;
    const uint32_t pixelOffset = GetLittle32(bytes + 10);
    const int32_t bitmapWidth = static_cast<int32_t>(GetLittle32(info + 4));
    const int32_t rawHeight = static_cast<int32_t>(GetLittle32(info + 8));
    const uint16_t bitCount = GetLittle16(info + 14);
    const uint32_t compression = GetLittle32(info + 16);
    if (GetLittle32(info) < infoHeaderSize || bitCount != 8 || compression != 0 ||
        bitmapWidth <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) {
        return false;
    }
    const bool bottomUp = rawHeight > 0;
    const int64_t bitmapHeight = bottomUp ? rawHeight : -static_cast<int64_t>(rawHeight);
    // Stored rows are padded to whole 4-byte words.
    const int64_t rowBytes = (static_cast<int64_t>(bitmapWidth) + 3) / 4 * 4;
    if (pixelOffset > length ||
        static_cast<uint64_t>(rowBytes) * bitmapHeight > length - pixelOffset) {
        return false;
    }
    DropRuns();
    // Only the rows and columns that land inside the mask are visited.
    const int64_t firstRow = std::max<int64_t>(0, -int64_t{y});
    const int64_t endRow = std::min<int64_t>(bitmapHeight, int64_t{height} - y);
    const int64_t firstColumn = std::max<int64_t>(0, -int64_t{x});
    const int64_t endColumn = std::min<int64_t>(bitmapWidth, int64_t{width} - x);
    for (int64_t row = firstRow; row < endRow && firstColumn < endColumn; ++row) {
        const int64_t fileRow = bottomUp ? bitmapHeight - 1 - row : row;
        const uint8_t* source = bytes + pixelOffset + fileRow * rowBytes + firstColumn;
        uint8_t* target = values.data() + (y + row) * width + x + firstColumn;
        std::memcpy(target, source, static_cast<size_t>(endColumn - firstColumn));
    }
    return true;
}

bool OpacityMask::BuildFromColorKey(const Surface& surface) {
    if (AccessiblePixelFormat16(surface) == nullptr || !Resize(surface.width, surface.height)) {
        return false;
    }
    const uint32_t low = surface.colorKey;
    const uint32_t high = std::max(surface.colorKeyHigh, low);
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row = PixelRow(surface, y);
        uint8_t* out = values.data() + static_cast<size_t>(y) * width;
        for (int32_t x = 0; x < width; ++x) {
            out[x] = row[x] >= low && row[x] <= high ? 0 : 255;
        }
    }
    return true;
}

bool OpacityMask::BuildFromBrightness(const Surface& surface) {
    const PixelFormat* format = AccessiblePixelFormat16(surface);
    if (format == nullptr || !Resize(surface.width, surface.height)) {
        return false;
    }
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* row = PixelRow(surface, y);
        uint8_t* out = values.data() + static_cast<size_t>(y) * width;
        for (int32_t x = 0; x < width; ++x) {
            // ITU-R BT.601 weights in 1/256ths; they add up to 256, so white stays 255.
            const uint32_t luminance = 77 * format->RedOf(row[x]) + 150 * format->GreenOf(row[x]) +
                                       29 * format->BlueOf(row[x]) + 128;
            out[x] = static_cast<uint8_t>(luminance >> 8);
        }
    }
    return true;
}

void OpacityMask::Blur(int32_t radius) {
    if (radius < 1 || values.empty()) {
        return;
    }
    DropRuns();
    std::vector<int64_t> prefix(static_cast<size_t>(std::max(width, height)) + 1);
    for (int32_t y = 0; y < height; ++y) {
        BlurLine(values.data() + static_cast<size_t>(y) * width, width, 1, radius, prefix);
    }
    for (int32_t x = 0; x < width; ++x) {
        BlurLine(values.data() + x, height, width, radius, prefix);
    }
}

bool OpacityMask::Scale(int32_t newWidth, int32_t newHeight) {
    if (values.empty() || !ValidSize(newWidth, newHeight)) {
        return false;
    }
    OpacityMask scaled(newWidth, newHeight);
    if (scaled.values.empty()) {
        return false;
    }
    for (int32_t y = 0; y < newHeight; ++y) {
        const uint8_t* source = values.data() + int64_t{y} * height / newHeight * width;
        uint8_t* target = scaled.values.data() + static_cast<size_t>(y) * newWidth;
        for (int32_t x = 0; x < newWidth; ++x) {
            target[x] = source[int64_t{x} * width / newWidth];
        }
    }
    width = newWidth;
    height = newHeight;
    values.swap(scaled.values);
    DropRuns();
    return true;
}

void OpacityMask::Encode(int32_t threshold) {
    threshold = std::max(threshold, 1);
    runs.clear();
    runStarts.assign(1, 0);
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* line = values.data() + static_cast<size_t>(row) * width;
        int32_t column = 0;
        while (column < width) {
            if (line[column] < threshold) {
                ++column;
                continue;
            }
            const bool opaque = line[column] == 255;
            const int32_t first = column;
            while (column < width && line[column] >= threshold && (line[column] == 255) == opaque) {
                ++column;
            }
            runs.push_back(Run{first, column - first, opaque});
        }
        runStarts.push_back(static_cast<int32_t>(runs.size()));
    }
}

bool OpacityMask::RunsCurrent() const {
    return runStarts.size() == static_cast<size_t>(height) + 1;
}

uint8_t OpacityMask::At(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return values[static_cast<size_t>(y) * width + x];
}

const PixelFormat* AccessiblePixelFormat16(const Surface& surface) {
    // The pixels are only ours while locked; kind 6 memory always is.
    const bool ready =
        (surface.flags & Surface::Locked) != 0 || (surface.kind & 0xFF) == SurfaceKindClientMemory;
    if (!ready || surface.pixels == nullptr || surface.screen == nullptr ||
        surface.screen->pixelFormat == nullptr || surface.screen->pixelFormat->bitsPerPixel != 16 ||
        !ValidSize(surface.width, surface.height) ||
        std::abs(static_cast<int64_t>(surface.pitch)) < int64_t{surface.width} * 2) {
        return nullptr;
    }
    return surface.screen->pixelFormat;
}

bool OpacityMask::Resize(int32_t newWidth, int32_t newHeight) {
    if (!ValidSize(newWidth, newHeight)) {
        return false;
    }
    try {
        values.assign(static_cast<size_t>(newWidth) * newHeight, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = newWidth;
    height = newHeight;
    DropRuns();
    return true;
}

void OpacityMask::DropRuns() {
    runs.clear();
    runStarts.clear();
}
