// Surface copies: the clipped fast copy (BlitTo), the clipped scaling copy
// (StretchTo) and the 8-byte block copy the Screen presents with.
#include <SDL.h>

#include <cstring>

#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

constexpr int CopyRefused = -1;

// Rectangles are worked on in 64 bits so that no clipping step can overflow.
struct Box {
    int64_t left, top, right, bottom;
};

Box BoxOf(const Rect& r) {
    return Box{r.left, r.top, r.right, r.bottom};
}

// span * part / whole, truncated, for 0 <= part < whole: the cut a clip edge
// makes in a source rectangle. The product of two 32-bit spans can pass 2^63,
// so it is taken in 128 bits; the quotient is smaller than span.
int64_t Proportion(int64_t span, int64_t part, int64_t whole) {
    return static_cast<int64_t>(static_cast<__int128>(span) * part / whole);
}

bool Inside(const Box& b, const SDL_Surface* surface) {
    return b.left >= 0 && b.top >= 0 && b.right <= surface->w && b.bottom <= surface->h;
}

// Both surfaces in one format, so rows copy as bytes.
bool Compatible(const SDL_Surface* source, const SDL_Surface* destination) {
    return source->format->format == destination->format->format && source->pixels != nullptr &&
           destination->pixels != nullptr;
}

// A locked surface's memory belongs to whoever locked it until the unlock; SDL's
// own blits refuse locked surfaces for the same reason.
bool EitherLocked(uint8_t sourceFlags, uint8_t destinationFlags) {
    return ((sourceFlags | destinationFlags) & Surface::Locked) != 0;
}

}  // namespace

int Surface::BlitTo(Surface* destination, int32_t x, int32_t y, Rect r) {
    if (destination == nullptr || platformSurface == nullptr ||
        destination->platformSurface == nullptr || EitherLocked(flags, destination->flags)) {
        return CopyRefused;
    }
    Box s = BoxOf(r);
    int64_t dx = x;
    int64_t dy = y;
    if (clip != nullptr) {
        const Box c = BoxOf(*clip);
        if (dx + (s.right - s.left) > c.right) {
            s.right = c.right - dx + s.left;
        }
        if (dx < c.left) {
            s.left += c.left - dx;
            dx = c.left;
        }
        if (dy < c.top) {
            s.top += c.top - dy;
            dy = c.top;
        }
        if (dy + (s.bottom - s.top) > c.bottom) {
            s.bottom = c.bottom - dy + s.top;
        }
    }
    if (s.right <= s.left || s.bottom <= s.top) {
        return 0;
    }
    SDL_Surface* from = platformSurface;
    SDL_Surface* to = destination->platformSurface;
    const Box d{dx, dy, dx + (s.right - s.left), dy + (s.bottom - s.top)};
    if (!Compatible(from, to) || !Inside(s, from) || !Inside(d, to)) {
        return CopyRefused;
    }
    const int bytesPerPixel = from->format->BytesPerPixel;
    const size_t rowBytes = static_cast<size_t>(s.right - s.left) * bytesPerPixel;
    const int64_t rows = s.bottom - s.top;
    // Within one surface a copy downward walks the rows bottom-up so that no
    // row is overwritten before it is read.
    const bool upward = from->pixels == to->pixels && d.top > s.top;
    for (int64_t i = 0; i < rows; ++i) {
        const int64_t row = upward ? rows - 1 - i : i;
        const auto* source = static_cast<const uint8_t*>(from->pixels) +
                             (s.top + row) * from->pitch + s.left * bytesPerPixel;
        auto* target =
            static_cast<uint8_t*>(to->pixels) + (d.top + row) * to->pitch + d.left * bytesPerPixel;
        std::memmove(target, source, rowBytes);
    }
    return 0;
}

int Surface::StretchTo(Surface* destination, Rect sourceRect, Rect destinationRect) {
    if (destination == nullptr || platformSurface == nullptr ||
        destination->platformSurface == nullptr || EitherLocked(flags, destination->flags)) {
        return CopyRefused;
    }
    Box s = BoxOf(sourceRect);
    Box d = BoxOf(destinationRect);
    if (d.right <= d.left || d.bottom <= d.top) {
        return 0;
    }
    // The destination is cut to the clip and the source in proportion; each
    // step uses what the steps before it left. An empty clip, or a destination
    // wholly outside it, draws nothing.
    if (clip != nullptr) {
        const Box c = BoxOf(*clip);
        if (c.right <= c.left || c.bottom <= c.top || c.left >= d.right || c.right <= d.left ||
            c.top >= d.bottom || c.bottom <= d.top) {
            return 0;
        }
        if (d.left < c.left) {
            s.left += Proportion(s.right - s.left, c.left - d.left, d.right - d.left);
            d.left = c.left;
        }
        if (d.right > c.right) {
            s.right -= Proportion(s.right - s.left, d.right - c.right, d.right - d.left);
            d.right = c.right;
        }
        if (d.top < c.top) {
            s.top += Proportion(s.bottom - s.top, c.top - d.top, d.bottom - d.top);
            d.top = c.top;
        }
        if (d.bottom > c.bottom) {
            s.bottom -= Proportion(s.bottom - s.top, d.bottom - c.bottom, d.bottom - d.top);
            d.bottom = c.bottom;
        }
    }
    if (d.right <= d.left || d.bottom <= d.top) {
        return 0;
    }
    SDL_Surface* from = platformSurface;
    SDL_Surface* to = destination->platformSurface;
    if (s.right <= s.left || s.bottom <= s.top || !Compatible(from, to) || !Inside(s, from) ||
        !Inside(d, to) || from->pixels == to->pixels) {
        return CopyRefused;
    }
    const int bytesPerPixel = from->format->BytesPerPixel;
    const int64_t sourceWidth = s.right - s.left;
    const int64_t sourceHeight = s.bottom - s.top;
    const int64_t targetWidth = d.right - d.left;
    const int64_t targetHeight = d.bottom - d.top;
    for (int64_t row = 0; row < targetHeight; ++row) {
        const int64_t sourceRow = s.top + row * sourceHeight / targetHeight;
        const auto* source = static_cast<const uint8_t*>(from->pixels) + sourceRow * from->pitch;
        auto* target = static_cast<uint8_t*>(to->pixels) + (d.top + row) * to->pitch;
        for (int64_t column = 0; column < targetWidth; ++column) {
            const int64_t sourceColumn = s.left + column * sourceWidth / targetWidth;
            std::memcpy(target + (d.left + column) * bytesPerPixel,
                        source + sourceColumn * bytesPerPixel, bytesPerPixel);
        }
    }
    return 0;
}

void Surface::CopyBlocksTo(Surface* destination, int32_t x, int32_t y, Rect r) {
    if (destination == nullptr || platformSurface == nullptr || pixels == nullptr ||
        destination->pixels == nullptr) {
        return;
    }
    // Both must be locked (or own their memory): otherwise `pixels` may be stale.
    const bool sourceReady = (flags & Locked) != 0 || (kind & 0xFF) == SurfaceKindClientMemory;
    const bool targetReady =
        (destination->flags & Locked) != 0 || (destination->kind & 0xFF) == SurfaceKindClientMemory;
    const int bits = screen != nullptr && screen->pixelFormat != nullptr
                         ? screen->pixelFormat->bitsPerPixel
                         : platformSurface->format->BitsPerPixel;
    const int64_t bytesPerPixel = bits / 8;
    if (!sourceReady || !targetReady || bytesPerPixel <= 0) {
        return;
    }
    const Box s = BoxOf(r);
    const int64_t blockBytes = ((s.right - s.left) * bytesPerPixel) / 8 * 8;
    const int64_t rows = s.bottom - s.top;
    if (blockBytes < 8 || rows < 1) {
        return;
    }
    // Nothing moves unless every byte read and written lies inside its surface.
    const int64_t sourceRowBytes = static_cast<int64_t>(width) * bytesPerPixel;
    const int64_t targetRowBytes = static_cast<int64_t>(destination->width) * bytesPerPixel;
    if (s.left < 0 || s.top < 0 || s.left * bytesPerPixel + blockBytes > sourceRowBytes ||
        s.bottom > height || x < 0 || y < 0 ||
        static_cast<int64_t>(x) * bytesPerPixel + blockBytes > targetRowBytes ||
        static_cast<int64_t>(y) + rows > destination->height ||
        sourceRowBytes > std::abs(static_cast<int64_t>(pitch)) ||
        targetRowBytes > std::abs(static_cast<int64_t>(destination->pitch))) {
        return;
    }
    const auto* source =
        static_cast<const uint8_t*>(pixels) + s.left * bytesPerPixel + s.top * pitch;
    auto* target = static_cast<uint8_t*>(destination->pixels) + x * bytesPerPixel +
                   static_cast<int64_t>(y) * destination->pitch;
    for (int64_t row = 0; row < rows; ++row) {
        std::memmove(target, source, static_cast<size_t>(blockBytes));
        source += pitch;
        target += destination->pitch;
    }
}
