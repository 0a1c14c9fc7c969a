// RleSprite drawing: the encoded rows copied into the bound Screen's locked back
// surface, plain or mirrored, clipped to the Screen's clip rectangle or not.
#include <cstring>

#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "sprites/rle_row_walker.h"
#include "sprites/rle_sprite.h"

namespace {

// Copies n pixels as a block. The spans of the game's sprites are short (8-pixel
// tiles, fighter and blast runs under 64 pixels), so they are moved with fixed-size
// copies the compiler keeps inline instead of a library call per span: up to 32
// pixels one or two overlapping copies, longer ones 32 bytes at a time with the
// last 32 bytes copied once more, overlapping.
inline void CopyPixels(uint16_t* dst, const uint16_t* src, int32_t n) {
    auto* d = reinterpret_cast<unsigned char*>(dst);
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    const size_t bytes = static_cast<size_t>(n) * 2;
    if (bytes == 16) {
        std::memcpy(d, s, 16);
    } else if (bytes > 64) {
        for (size_t i = 0; i + 32 < bytes; i += 32) {
            std::memcpy(d + i, s + i, 32);
        }
        std::memcpy(d + bytes - 32, s + bytes - 32, 32);
    } else if (bytes >= 32) {
        std::memcpy(d, s, 32);
        std::memcpy(d + bytes - 32, s + bytes - 32, 32);
    } else if (bytes > 16) {
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

// Four pixels held in a 64-bit word, put in the opposite order.
inline uint64_t ReverseFour(uint64_t v) {
    v = (v >> 32) | (v << 32);
    return ((v >> 16) & 0x0000FFFF0000FFFFull) | ((v & 0x0000FFFF0000FFFFull) << 16);
}

// dst[k] = src[n - 1 - k], four pixels at a time; the last four are written as
// one more group that may overlap the one before. Inline, as mirrored fighters
// reverse several spans per row.
inline void ReverseSpan(uint16_t* dst, const uint16_t* src, int32_t n) {
    if (n < 4) {
        for (int32_t k = 0; k < n; ++k) {
            dst[k] = src[n - 1 - k];
        }
        return;
    }
    uint64_t four;
    for (int32_t k = 0; k + 4 < n; k += 4) {
        std::memcpy(&four, src + n - k - 4, sizeof four);
        four = ReverseFour(four);
        std::memcpy(dst + k, &four, sizeof four);
    }
    std::memcpy(&four, src, sizeof four);
    four = ReverseFour(four);
    std::memcpy(dst + n - 4, &four, sizeof four);
}

// Where a draw may write: the back surface's pixels, its row stride in pixels and
// the window of columns left .. rightEnd - 1, rows top .. bottomEnd - 1.
struct Window {
    uint16_t* pixels;
    ptrdiff_t stride;
    int64_t left;
    int64_t top;
    int64_t rightEnd;
    int64_t bottomEnd;
};

// The window is the clip rectangle (inclusive on all four edges) when useClip is
// set, and in any case narrowed to the surface itself, so that no clip rectangle,
// however set, lets a draw write outside the pixel memory. False when the sprite
// has no data or no Screen, or the Screen no back surface pixels or row pitch.
[[gnu::always_inline]] inline bool FindWindow(const RleSprite& sprite, bool useClip,
                                              Window* window) {
    const Screen* screen = sprite.screen;
    if (sprite.rleData == nullptr || screen == nullptr) {
        return false;
    }
    const Surface* surface = screen->backSurface;
    if (surface == nullptr || surface->pixels == nullptr || surface->pitch < 2) {
        return false;
    }
    // Rows are pitch / 2 pixels apart (an odd pitch rounds down).
    const ptrdiff_t stride = static_cast<ptrdiff_t>(static_cast<uint32_t>(surface->pitch) / 2);
    window->pixels = static_cast<uint16_t*>(surface->pixels);
    window->stride = stride;
    window->left = 0;
    window->top = 0;
    window->rightEnd = surface->width < stride ? surface->width : stride;
    window->bottomEnd = surface->height;
    if (useClip) {
        const Rect clip = screen->clip;
        window->left = clip.left > 0 ? clip.left : 0;
        window->top = clip.top > 0 ? clip.top : 0;
        if (clip.right < window->rightEnd) {
            window->rightEnd = int64_t{clip.right} + 1;
        }
        if (clip.bottom < window->bottomEnd) {
            window->bottomEnd = int64_t{clip.bottom} + 1;
        }
    }
    return true;
}

// The side of the game's terrain tiles, about 5200 of which are drawn each frame.
constexpr int32_t tileSide = 8;

// Draws a tile-sized sprite that lies wholly inside the window with a walk
// specialised for its eight rows (each literal row one 16-byte move); false, having
// drawn nothing, when the sprite is not such a tile.
[[gnu::always_inline]] inline bool DrawWholeTile(const RleSprite& sprite, int32_t x, int32_t y) {
    Window w;
    if (sprite.width != tileSide || sprite.height != tileSide || !FindWindow(sprite, true, &w)) {
        return false;
    }
    if (x < w.left || y < w.top || int64_t{x} + tileSide > w.rightEnd ||
        int64_t{y} + tileSide > w.bottomEnd) {
        return false;
    }
    rle::WalkRows(sprite.rleData, tileSide, rle::VisibleBox{0, tileSide, 0, tileSide},
                  w.pixels + y * w.stride + x, w.stride,
                  [](uint16_t* row, int32_t column, const uint16_t* span, int32_t count) {
                      CopyPixels(row + column, span, count);
                  });
    return true;
}

// Copies rows of a sprite all of whose columns are visible: every segment as
// stored, with none of the per-segment clipping of the general walk; a segment
// that claims to run past the sprite's width is still cut there.
inline void CopyWholeRows(const uint16_t* p, int32_t width, int32_t rows, uint16_t* row,
                          ptrdiff_t stride) {
    for (; rows > 0; --rows, row += stride) {
        uint32_t n = *p++;
        if (n == 1) {
            CopyPixels(row, p, width);
            p += width;
            continue;
        }
        int64_t pos = 0;
        for (; n > 1; --n) {
            pos += p[0];
            const int32_t stored = p[1];
            const uint16_t* pixels = p + 2;
            p = pixels + stored;
            const int64_t length = pos + stored <= width ? stored : width - pos;
            if (length > 0) {
                CopyPixels(row + pos, pixels, static_cast<int32_t>(length));
            }
            pos += stored;
        }
    }
}

// Clips the sprite placed at (x, y) to the window and walks its visible rows,
// copying each visible span (reversed when mirrored). Answers the rows walked.
template <bool Mirrored>
[[gnu::noinline]] int32_t DrawClipped(const RleSprite& sprite, int32_t x, int32_t y, bool useClip) {
    Window w;
    if (!FindWindow(sprite, useClip, &w)) {
        return 0;
    }
    const int32_t width = sprite.width;
    rle::VisibleBox box;
    if (!rle::ClipBox(x, y, width, sprite.height, w.left, w.top, w.rightEnd, w.bottomEnd, &box)) {
        return 0;
    }
    // Only the rows between the blank ones above and below are walked; the
    // encoded data of the rows above is one word each.
    const int32_t blankTop = sprite.blankTop;
    const int32_t drawnEnd = sprite.height - sprite.blankBottom;
    const int32_t walked = box.endRow - box.firstRow;
    box.firstRow = box.firstRow > blankTop ? box.firstRow : blankTop;
    box.endRow = box.endRow < drawnEnd ? box.endRow : drawnEnd;
    if (box.endRow <= box.firstRow || blankTop < 0 || blankTop > sprite.height) {
        return walked;
    }
    const uint16_t* const data = sprite.rleData + blankTop;
    uint16_t* const firstRow = w.pixels + (y + box.firstRow) * w.stride;
    box.firstRow -= blankTop;
    box.endRow -= blankTop;
    if constexpr (Mirrored) {
        // Sprite column c lands on surface column x + width - 1 - c, so a run
        // starting at sprite column c of n pixels is written reversed from
        // x + width - c - n on.
        const int64_t mirrorEnd = int64_t{x} + width;
        rle::WalkRows(
            data, width, rle::MirrorColumns(box, width), firstRow, w.stride,
            [mirrorEnd](uint16_t* row, int32_t column, const uint16_t* span, int32_t count) {
                ReverseSpan(row + (mirrorEnd - column - count), span, count);
            });
    } else if (box.firstColumn == 0 && box.endColumn == width) {
        const uint16_t* p = data;
        for (int32_t r = 0; r < box.firstRow; ++r) {
            p = rle::SkipRow(p, width);
        }
        CopyWholeRows(p, width, box.endRow - box.firstRow, firstRow + x, w.stride);
    } else {
        const int64_t origin = x;
        rle::WalkRows(data, width, box, firstRow, w.stride,
                      [origin](uint16_t* row, int32_t column, const uint16_t* span, int32_t count) {
                          CopyPixels(row + (origin + column), span, count);
                      });
    }
    return walked;
}

}  // namespace

void CopyReversed(uint16_t* dst, const uint16_t* src, int32_t n) {
    ReverseSpan(dst, src, n);
}

// The clip rectangle is inclusive on all four edges: right - x + 1 columns and
// bottom - y + 1 rows of a sprite reaching past them stay visible. A sprite wider
// than the rectangle is cut on the left and the right at once.
void RleSprite::Draw(int32_t x, int32_t y) const {
    if (!DrawWholeTile(*this, x, y)) {
        DrawClipped<false>(*this, x, y, true);
    }
}

void RleSprite::DrawMirrored(int32_t x, int32_t y) const {
    DrawClipped<true>(*this, x, y, true);
}

// The unclipped draws ignore the clip rectangle; they are still held to the
// surface's own pixels, so a caller's mistaken position cannot write outside it.
// They answer the number of rows walked: height for a sprite inside the surface.
int32_t RleSprite::DrawUnclipped(int32_t x, int32_t y) const {
    return DrawClipped<false>(*this, x, y, false);
}

int32_t RleSprite::DrawMirroredUnclipped(int32_t x, int32_t y) const {
    return DrawClipped<true>(*this, x, y, false);
}
