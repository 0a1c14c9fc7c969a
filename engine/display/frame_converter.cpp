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

// Each byte of a and b mixed, b's share w of ScaleAxis::one, rounded: two
// channels at a time in the 16-bit lanes of one multiplication, so the
// layout of the 32-bit pixel does not matter.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t w) {
    const uint32_t keep = ScaleAxis::one - w;
    const uint32_t low =
        (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * w + 0x00800080u) >> 8) & 0x00FF00FFu;
    const uint32_t high =
        (((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * w + 0x00800080u) &
        0xFF00FF00u;
    return low | high;
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
        placed = false;
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
    if (placed && placement.x == place.x && placement.y == place.y &&
        placement.width == place.width && placement.height == place.height &&
        placement.targetWidth == place.targetWidth &&
        placement.targetHeight == place.targetHeight) {
        return;
    }
    // Pixels drawn at another size say nothing about this one; a move of the
    // same size is the caller's to redraw.
    if (!placed || placement.width != place.width || placement.height != place.height) {
        remembered = false;
    }
    place = placement;
    placed = true;
    columns.Build(width, place.width);
    rows.Build(height, place.height);
    for (std::vector<uint32_t>& line : lines) {
        line.resize(static_cast<size_t>(std::max(place.width, 1)));
    }
}

const uint32_t* FrameConverter::ScaledRow(const uint8_t* pixels, int32_t pitch, int32_t row,
                                          int32_t from, int32_t to) {
    for (int32_t i = 0; i < 2; ++i) {
        if (lineRow[i] == row) {
            return lines[i].data();
        }
    }
    // Rows come in rising order: the line with the lower row is done with.
    const int32_t i = lineRow[0] <= lineRow[1] ? 0 : 1;
    lineRow[i] = row;
    uint32_t* line = lines[i].data();
    const auto* source =
        reinterpret_cast<const uint16_t*>(pixels + static_cast<ptrdiff_t>(row) * pitch);
    const uint32_t* convert = table.data();
    if (from == 0 && to == place.width && !columns.alone.empty()) {
        // The whole row, scaling up: each source pixel converted once, copied
        // to the target pixels it fills alone, then blended into the one its
        // right edge crosses.
        uint32_t* out = line;
        for (int32_t c = 0; c < width; ++c) {
            const uint32_t pixel = convert[source[c]];
            for (int32_t n = columns.alone[c]; n > 0; --n) {
                *out++ = pixel;
            }
            if (const int32_t w = columns.edge[c]; w != 0) {
                *out++ = Blend(pixel, convert[source[c + 1]], static_cast<uint32_t>(w));
            }
        }
        return line;
    }
    const int32_t* start = columns.start.data();
    const int32_t* next = columns.next.data();
    for (int32_t x = from; x < to; ++x) {
        const uint16_t* at = source + start[x];
        const uint32_t w = static_cast<uint32_t>(next[x]);
        line[x] = w == 0 ? convert[at[0]] : Blend(convert[at[0]], convert[at[1]], w);
    }
    return line;
}

void FrameConverter::DrawNearest(const uint8_t* pixels, int32_t pitch, int32_t x0, int32_t x1,
                                 int32_t y0, int32_t y1, uint8_t* target,
                                 int32_t targetPitch) const {
    const uint32_t* convert = table.data();
    const bool sameSize = place.width == width && place.height == height;
    const int32_t* start = columns.start.data();
    for (int32_t y = y0; y < y1; ++y) {
        const auto* from = reinterpret_cast<const uint16_t*>(
            pixels + static_cast<ptrdiff_t>(rows.start[y - place.y]) * pitch);
        auto* to = reinterpret_cast<uint32_t*>(target + static_cast<ptrdiff_t>(y) * targetPitch);
        if (sameSize) {
            const uint16_t* in = from + (x0 - place.x);
            for (int32_t x = x0; x < x1; ++x) {
                to[x] = convert[*in++];
            }
        } else {
            for (int32_t x = x0; x < x1; ++x) {
                to[x] = convert[from[start[x - place.x]]];
            }
        }
    }
}

void FrameConverter::TargetArea(int32_t left, int32_t first, int32_t columnCount, int32_t count,
                                int32_t area[4]) const {
    area[0] = area[1] = area[2] = area[3] = 0;
    if (!placed || place.width <= 0 || place.height <= 0) {
        return;
    }
    int32_t spanLeft = 0;
    int32_t spanRight = 0;
    int32_t spanTop = 0;
    int32_t spanBottom = 0;
    columns.TargetSpan(left, left + columnCount, &spanLeft, &spanRight);
    rows.TargetSpan(first, first + count, &spanTop, &spanBottom);
    const int64_t x0 = std::max<int64_t>(int64_t{place.x} + spanLeft, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{place.x} + spanRight, place.targetWidth);
    const int64_t y0 = std::max<int64_t>(int64_t{place.y} + spanTop, 0);
    const int64_t y1 = std::min<int64_t>(int64_t{place.y} + spanBottom, place.targetHeight);
    if (x1 <= x0 || y1 <= y0) {
        return;
    }
    area[0] = static_cast<int32_t>(x0);
    area[1] = static_cast<int32_t>(y0);
    area[2] = static_cast<int32_t>(x1 - x0);
    area[3] = static_cast<int32_t>(y1 - y0);
}

void FrameConverter::Draw(const uint8_t* pixels, int32_t pitch, int32_t left, int32_t first,
                          int32_t columnCount, int32_t count, uint8_t* target, int32_t targetPitch,
                          int32_t written[4]) {
    written[0] = written[1] = written[2] = written[3] = 0;
    if (pixels == nullptr || target == nullptr || table.empty()) {
        return;
    }
    TargetArea(left, first, columnCount, count, written);
    if (written[2] <= 0 || written[3] <= 0) {
        return;
    }
    const int32_t x0 = written[0];
    const int32_t x1 = written[0] + written[2];
    const int32_t y0 = written[1];
    const int32_t y1 = written[1] + written[3];
    if (!columns.blends && !rows.blends) {
        DrawNearest(pixels, pitch, x0, x1, y0, y1, target, targetPitch);
        return;
    }
    const int32_t from = x0 - place.x;
    const int32_t to = x1 - place.x;
    lineRow[0] = lineRow[1] = -1;
    for (int32_t y = y0; y < y1; ++y) {
        const int32_t row = rows.start[y - place.y];
        const uint32_t w = static_cast<uint32_t>(rows.next[y - place.y]);
        const uint32_t* upper = ScaledRow(pixels, pitch, row, from, to);
        uint32_t* out =
            reinterpret_cast<uint32_t*>(target + static_cast<ptrdiff_t>(y) * targetPitch) + x0;
        if (w == 0) {
            std::memcpy(out, upper + from, static_cast<size_t>(to - from) * sizeof(uint32_t));
            continue;
        }
        const uint32_t* lower = ScaledRow(pixels, pitch, row + 1, from, to) + from;
        upper += from;
        for (int32_t i = 0; i < to - from; ++i) {
            out[i] = Blend(upper[i], lower[i], w);
        }
    }
}
