// FrameConverter: the conversion table, the row comparison and the scaled,
// clipped conversion into a 32-bit target.
#include "engine/display/frame_converter.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

// Five or six bits widened to eight the way SDL widens them, the top bits
// repeated below, so white stays 255 and the table agrees with SDL's blits.
uint8_t Widen(uint32_t value, int bits) {
    return static_cast<uint8_t>((value << (8 - bits)) | (value >> (2 * bits - 8)));
}

// Smallest d with d * pictureSize / placedSize >= edge, i.e. the first
// target pixel whose source pixel is at or past edge.
int32_t FirstTargetAt(int32_t edge, int32_t pictureSize, int32_t placedSize) {
    const int64_t scaled = static_cast<int64_t>(edge) * placedSize;
    return static_cast<int32_t>((scaled + pictureSize - 1) / pictureSize);
}

}  // namespace

bool FrameConverter::Prepare(uint32_t source, uint32_t target, int32_t pictureWidth,
                             int32_t pictureHeight) {
    if ((source != SDL_PIXELFORMAT_RGB555 && source != SDL_PIXELFORMAT_RGB565) ||
        SDL_ISPIXELFORMAT_FOURCC(target) || SDL_BYTESPERPIXEL(target) != 4 ||
        SDL_ISPIXELFORMAT_INDEXED(target) || pictureWidth <= 0 || pictureHeight <= 0) {
        return false;
    }
    if (source != sourceFormat || target != targetFormat) {
        SDL_PixelFormat* layout = SDL_AllocFormat(target);
        if (layout == nullptr) {
            return false;
        }
        table.resize(65536);
        const bool wideGreen = source == SDL_PIXELFORMAT_RGB565;
        for (uint32_t value = 0; value < 65536; ++value) {
            const uint32_t red = wideGreen ? value >> 11 : (value >> 10) & 0x1F;
            const uint32_t green = wideGreen ? (value >> 5) & 0x3F : (value >> 5) & 0x1F;
            const uint32_t blue = value & 0x1F;
            table[value] =
                SDL_MapRGB(layout, Widen(red, 5), Widen(green, wideGreen ? 6 : 5), Widen(blue, 5));
        }
        SDL_FreeFormat(layout);
        sourceFormat = source;
        targetFormat = target;
    }
    if (pictureWidth != width || pictureHeight != height) {
        width = pictureWidth;
        height = pictureHeight;
        last.assign(static_cast<size_t>(width) * height, 0);
        remembered = false;
        place = Placement{};
        sourceColumn.clear();
    }
    return true;
}

int32_t FrameConverter::ChangedRows(const uint8_t* pixels, int32_t pitch, RowRun* runs,
                                    int32_t maxRuns) {
    if (pixels == nullptr || maxRuns <= 0 || width <= 0) {
        return 0;
    }
    const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint16_t);
    int32_t count = 0;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* now = pixels + static_cast<ptrdiff_t>(row) * pitch;
        uint16_t* before = last.data() + static_cast<size_t>(row) * width;
        if (remembered && std::memcmp(now, before, rowBytes) == 0) {
            continue;
        }
        std::memcpy(before, now, rowBytes);
        RowRun* previous = count > 0 ? &runs[count - 1] : nullptr;
        if (previous != nullptr &&
            (row - (previous->first + previous->count) < runGap || count == maxRuns)) {
            previous->count = row - previous->first + 1;
        } else {
            runs[count++] = RowRun{row, 1};
        }
    }
    remembered = true;
    return count;
}

void FrameConverter::Remember(const uint8_t* pixels, int32_t pitch, int32_t left, int32_t first,
                              int32_t columns, int32_t count) {
    for (int32_t row = first; row < first + count; ++row) {
        std::memcpy(last.data() + static_cast<size_t>(row) * width + left,
                    pixels + static_cast<ptrdiff_t>(row) * pitch + left * 2,
                    static_cast<size_t>(columns) * sizeof(uint16_t));
    }
}

void FrameConverter::SetPlacement(const Placement& placement) {
    if (placement.x == place.x && placement.y == place.y && placement.width == place.width &&
        placement.height == place.height && placement.targetWidth == place.targetWidth &&
        placement.targetHeight == place.targetHeight && !sourceColumn.empty()) {
        return;
    }
    place = placement;
    sourceColumn.resize(static_cast<size_t>(std::max(place.width, 1)));
    for (int32_t column = 0; column < place.width; ++column) {
        sourceColumn[column] =
            static_cast<int32_t>(static_cast<int64_t>(column) * width / place.width);
    }
}

void FrameConverter::Draw(const uint8_t* pixels, int32_t pitch, int32_t left, int32_t first,
                          int32_t columns, int32_t count, uint8_t* target, int32_t targetPitch,
                          int32_t written[4]) const {
    written[0] = written[1] = written[2] = written[3] = 0;
    if (pixels == nullptr || target == nullptr || place.width <= 0 || place.height <= 0 ||
        table.empty()) {
        return;
    }
    // The target pixels whose source pixel lies in the area, cut to the target.
    const int32_t x0 = std::max(place.x + FirstTargetAt(left, width, place.width), 0);
    const int32_t x1 =
        std::min(place.x + FirstTargetAt(left + columns, width, place.width), place.targetWidth);
    const int32_t y0 = std::max(place.y + FirstTargetAt(first, height, place.height), 0);
    const int32_t y1 =
        std::min(place.y + FirstTargetAt(first + count, height, place.height), place.targetHeight);
    if (x1 <= x0 || y1 <= y0) {
        return;
    }
    const uint32_t* convert = table.data();
    const bool sameSize = place.width == width && place.height == height;
    for (int32_t y = y0; y < y1; ++y) {
        const int32_t sourceRow =
            static_cast<int32_t>(static_cast<int64_t>(y - place.y) * height / place.height);
        const auto* from =
            reinterpret_cast<const uint16_t*>(pixels + static_cast<ptrdiff_t>(sourceRow) * pitch);
        auto* to = reinterpret_cast<uint32_t*>(target + static_cast<ptrdiff_t>(y) * targetPitch);
        if (sameSize) {
            const uint16_t* in = from + (x0 - place.x);
            for (int32_t x = x0; x < x1; ++x) {
                to[x] = convert[*in++];
            }
        } else {
            const int32_t* column = sourceColumn.data();
            for (int32_t x = x0; x < x1; ++x) {
                to[x] = convert[from[column[x - place.x]]];
            }
        }
    }
    written[0] = x0;
    written[1] = y0;
    written[2] = x1 - x0;
    written[3] = y1 - y0;
}
