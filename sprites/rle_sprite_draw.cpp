// RleSprite drawing: the encoded rows copied into the bound Screen's locked back
// surface, plain or mirrored, clipped to the Screen's clip rectangle or not.
#include <cstring>

#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "sprites/rle_row_walker.h"
#include "sprites/rle_sprite.h"

namespace {

// Copies n pixels as a block. The spans of the game's sprites are short (8-pixel
// tiles, fighter and blast runs under 64 pixels), so sizes up to 32 pixels are
// moved with two overlapping fixed-size copies the compiler keeps inline instead
// of a library call per span.
inline void CopyPixels(uint16_t* dst, const uint16_t* src, int32_t n) {
    auto* d = reinterpret_cast<unsigned char*>(dst);
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    const size_t bytes = static_cast<size_t>(n) * 2;
    if (bytes > 64) {
        std::memcpy(d, s, bytes);
    } else if (bytes >= 32) {
        std::memcpy(d, s, 32);
        std::memcpy(d + bytes - 32, s + bytes - 32, 32);
    } else if (bytes >= 16) {
        std::memcpy(d, s, 16);
        std::memcpy(d + bytes - 16, s + bytes - 16, 16);
    } else if (bytes >= 8) {
        std::memcpy(d, s, 8);
        std::memcpy(d + bytes - 8, s + bytes - 8, 8);
    } else if (bytes >= 4) {
        std::memcpy(d, s, 4);
        std::memcpy(d + bytes - 4, s + bytes - 4, 4);
    } else if (bytes == 2) {
        std::memcpy(d, s, 2);
    }
}

// Where a draw writes: the first destination row of the visible box, the row
// stride in pixels, the surface column of sprite column 0 and the visible box.
struct DrawTarget {
    uint16_t* firstRow;
    ptrdiff_t stride;
    int64_t x;
    rle::VisibleBox box;
};

// Clips the sprite placed at (x, y) against the window of surface pixels
// left .. right, top .. bottom (inclusive), narrowed to the surface itself so that
// no clip rectangle, however set, lets a draw write outside the pixel memory.
// False when there is nothing to draw.
bool PrepareDraw(const RleSprite& sprite, int32_t x, int32_t y, bool useClip, DrawTarget* target) {
    if (sprite.rleData == nullptr || sprite.screen == nullptr) {
        return false;
    }
    const Screen& screen = *sprite.screen;
    const Surface* surface = screen.backSurface;
    if (surface == nullptr || surface->pixels == nullptr) {
        return false;
    }
    // Rows are pitch / 2 pixels apart (an odd pitch rounds down).
    const ptrdiff_t stride = static_cast<ptrdiff_t>(static_cast<uint32_t>(surface->pitch) / 2);
    int64_t left = 0;
    int64_t top = 0;
    int64_t rightEnd = surface->width < stride ? surface->width : stride;
    int64_t bottomEnd = surface->height;
    if (useClip) {
        const Rect& clip = screen.clip;
        left = clip.left > left ? clip.left : left;
        top = clip.top > top ? clip.top : top;
        rightEnd =
            static_cast<int64_t>(clip.right) + 1 < rightEnd ? clip.right + int64_t{1} : rightEnd;
        bottomEnd = static_cast<int64_t>(clip.bottom) + 1 < bottomEnd ? clip.bottom + int64_t{1}
                                                                      : bottomEnd;
    }
    rle::VisibleBox box;
    if (!rle::ClipBox(x, y, sprite.width, sprite.height, left, top, rightEnd, bottomEnd, &box)) {
        return false;
    }
    target->firstRow = static_cast<uint16_t*>(surface->pixels) + (y + box.firstRow) * stride;
    target->stride = stride;
    target->x = x;
    target->box = box;
    return true;
}

void DrawPlain(const RleSprite& sprite, const DrawTarget& t) {
    const int64_t x = t.x;
    rle::WalkRows(sprite.rleData, sprite.width, t.box, t.firstRow, t.stride,
                  [x](uint16_t* row, int32_t column, const uint16_t* pixels, int32_t count) {
                      CopyPixels(row + x + column, pixels, count);
                  });
}

// Sprite column c lands on surface column x + width - 1 - c, so a run starting at
// sprite column c of n pixels is written reversed from x + width - c - n on.
void DrawReversed(const RleSprite& sprite, const DrawTarget& t) {
    const int64_t mirrorEnd = t.x + sprite.width;
    rle::WalkRows(
        sprite.rleData, sprite.width, rle::MirrorColumns(t.box, sprite.width), t.firstRow, t.stride,
        [mirrorEnd](uint16_t* row, int32_t column, const uint16_t* pixels, int32_t count) {
            CopyReversed(row + (mirrorEnd - column - count), pixels, count);
        });
}

}  // namespace

void CopyReversed(uint16_t* dst, const uint16_t* src, int32_t n) {
    for (int32_t k = 0; k < n; ++k) {
        dst[k] = src[n - 1 - k];
    }
}

// The clip rectangle is inclusive on all four edges: right - x + 1 columns and
// bottom - y + 1 rows of a sprite reaching past them stay visible. A sprite wider
// than the rectangle is cut on the left and the right at once.
void RleSprite::Draw(int32_t x, int32_t y) const {
    DrawTarget target;
    if (PrepareDraw(*this, x, y, true, &target)) {
        DrawPlain(*this, target);
    }
}

void RleSprite::DrawMirrored(int32_t x, int32_t y) const {
    DrawTarget target;
    if (PrepareDraw(*this, x, y, true, &target)) {
        DrawReversed(*this, target);
    }
}

// The unclipped draws ignore the clip rectangle; they are still held to the
// surface's own pixels, so a caller's mistaken position cannot write outside it.
// They answer the number of rows walked: height for a sprite inside the surface.
int32_t RleSprite::DrawUnclipped(int32_t x, int32_t y) const {
    DrawTarget target;
    if (!PrepareDraw(*this, x, y, false, &target)) {
        return 0;
    }
    DrawPlain(*this, target);
    return target.box.endRow - target.box.firstRow;
}

int32_t RleSprite::DrawMirroredUnclipped(int32_t x, int32_t y) const {
    DrawTarget target;
    if (!PrepareDraw(*this, x, y, false, &target)) {
        return 0;
    }
    DrawReversed(*this, target);
    return target.box.endRow - target.box.firstRow;
}
