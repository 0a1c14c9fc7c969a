// Surface::DrawLine: an antialiased line on a 16-bit surface, stepped in 16.16
// fixed point along its major axis and blended over two neighbouring pixels.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

// Channel by channel: (colourWeight * colour >> 8) + (oldWeight * old >> 8).
// The weights of one pixel add up to 256 (or 257 for the first of the pair,
// whose sum still stays within 255 per channel).
uint16_t Blend(const PixelFormat& format, uint16_t old, uint32_t colour, uint32_t colourWeight,
               uint32_t oldWeight) {
    const uint32_t red =
        (colourWeight * format.RedOf(colour) >> 8) + (oldWeight * format.RedOf(old) >> 8);
    const uint32_t green =
        (colourWeight * format.GreenOf(colour) >> 8) + (oldWeight * format.GreenOf(old) >> 8);
    const uint32_t blue =
        (colourWeight * format.BlueOf(colour) >> 8) + (oldWeight * format.BlueOf(old) >> 8);
    return static_cast<uint16_t>(format.Pack(static_cast<int32_t>(red), static_cast<int32_t>(green),
                                             static_cast<int32_t>(blue)));
}

// The area a line may touch: the clip rectangle (right and bottom exclusive)
// cut to the surface, so a clip rectangle larger than the surface stays safe.
struct Bounds {
    int32_t left, top, right, bottom;
};

}  // namespace

void Surface::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    if (screen == nullptr || screen->pixelFormat == nullptr ||
        screen->pixelFormat->bitsPerPixel != 16 || pixels == nullptr || clip == nullptr) {
        return;
    }
    // The pixels are only ours while locked; kind 6 memory always is.
    if ((kind & 0xFF) != SurfaceKindClientMemory && (flags & Locked) == 0) {
        return;
    }
    const PixelFormat& format = *screen->pixelFormat;
    const Bounds bounds{std::max(clip->left, 0), std::max(clip->top, 0),
                        std::min(clip->right, width), std::min(clip->bottom, height)};
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
        return;
    }
    auto pixelAt = [this](int32_t x, int32_t y) {
        return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(pixels) +
                                           static_cast<int64_t>(y) * pitch) +
               x;
    };

    // 64-bit arithmetic: coordinates anywhere in the int32 range step without
    // overflow. The minor coordinate m is 16.16 fixed point; its integer part
    // h is the first pixel of the pair and its top fraction byte f the share
    // the second one gets.
    const int64_t dx = static_cast<int64_t>(x2) - x1;
    const int64_t dy = static_cast<int64_t>(y2) - y1;
    if ((dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy)) {
        if (x2 < x1) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const int64_t step = ((static_cast<int64_t>(y2) - y1) * 65536) / (int64_t{x2} - x1);
        // Only columns inside the bounds can change; start the walk at the first.
        const int32_t first = std::max(x1, bounds.left);
        const int32_t last = std::min(x2, bounds.right - 1);
        int64_t m = int64_t{y1} * 65536 + step * (int64_t{first} - x1);
        for (int32_t x = first; x <= last; ++x, m += step) {
            const int64_t h = m >> 16;
            const uint32_t f = static_cast<uint32_t>((m >> 8) & 0xFF);
            if (h < bounds.top || h >= bounds.bottom) {
                continue;
            }
            uint16_t* upper = pixelAt(x, static_cast<int32_t>(h));
            *upper = Blend(format, *upper, colour, 255 - f, f + 1);
            if (h + 1 < bounds.bottom) {
                uint16_t* lower = pixelAt(x, static_cast<int32_t>(h + 1));
                *lower = Blend(format, *lower, colour, f, 256 - f);
            }
        }
        return;
    }

    // y-major, ties and single points included.
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int64_t step =
        dy == 0 ? 0 : ((static_cast<int64_t>(x2) - x1) * 65536) / (int64_t{y2} - y1);
    const int32_t first = std::max(y1, bounds.top);
    const int32_t last = std::min(y2, bounds.bottom - 1);
    int64_t m = int64_t{x1} * 65536 + step * (int64_t{first} - y1);
    for (int32_t y = first; y <= last; ++y, m += step) {
        const int64_t h = m >> 16;
        const uint32_t f = static_cast<uint32_t>((m >> 8) & 0xFF);
        if (h < bounds.left || h >= bounds.right) {
            continue;
        }
        uint16_t* near = pixelAt(static_cast<int32_t>(h), y);
        *near = Blend(format, *near, colour, 255 - f, f + 1);
        if (h + 1 < bounds.right) {
            near[1] = Blend(format, near[1], colour, f, 256 - f);
        }
    }
}
