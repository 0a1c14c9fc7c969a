// The clipped walk over a run-length sprite's encoded rows, shared by drawing
// (opaque spans copied into a surface) and carving (cells cleared in the terrain).
#pragma once

#include <cstddef>
#include <cstdint>

namespace rle {

// The part of a sprite that falls inside a destination window, in sprite
// coordinates: rows firstRow .. endRow - 1, columns firstColumn .. endColumn - 1.
// A single column range carries a left cut and a right cut at the same time, so a
// sprite wider than the window is cut on both sides.
struct VisibleBox {
    int32_t firstRow;
    int32_t endRow;
    int32_t firstColumn;
    int32_t endColumn;
};

// Places a width x height sprite with its top-left pixel at (x, y) in a window
// of columns left .. rightEnd - 1 and rows top .. bottomEnd - 1 (exclusive ends).
// Answers false when no pixel of the sprite lies inside. 64-bit positions keep
// the edge arithmetic free of overflow whatever the caller's coordinates.
inline bool ClipBox(int64_t x, int64_t y, int32_t width, int32_t height, int64_t left, int64_t top,
                    int64_t rightEnd, int64_t bottomEnd, VisibleBox* box) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const int64_t firstColumn = left > x ? left - x : 0;
    const int64_t endColumn = rightEnd - x < width ? rightEnd - x : width;
    const int64_t firstRow = top > y ? top - y : 0;
    const int64_t endRow = bottomEnd - y < height ? bottomEnd - y : height;
    if (firstColumn >= endColumn || firstRow >= endRow) {
        return false;
    }
    box->firstRow = static_cast<int32_t>(firstRow);
    box->endRow = static_cast<int32_t>(endRow);
    box->firstColumn = static_cast<int32_t>(firstColumn);
    box->endColumn = static_cast<int32_t>(endColumn);
    return true;
}

// The same box seen in the mirror image: sprite column c shows at box column
// width - 1 - c, so the visible column range turns around.
inline VisibleBox MirrorColumns(VisibleBox box, int32_t width) {
    const int32_t firstColumn = width - box.endColumn;
    box.endColumn = width - box.firstColumn;
    box.firstColumn = firstColumn;
    return box;
}

// Passes over one encoded row without using it, reading only its header and
// segment lengths; answers the start of the next row.
inline const uint16_t* SkipRow(const uint16_t* p, int32_t width) {
    const uint32_t header = *p++;
    if (header == 1) {
        return p + width;
    }
    for (uint32_t n = header; n > 1; --n) {
        p += 2 + p[1];
    }
    return p;
}

// Walks the rows box.firstRow .. box.endRow - 1 of the encoded data (rows above
// are passed by their headers only) and calls
//     span(rowStart, column, pixels, count)
// for every run of opaque pixels inside the box's columns, where rowStart is the
// destination row (row advanced by stride per sprite row), column the sprite
// column of the run's first pixel and pixels its stored pixel words. A span never
// reaches outside the box's columns, even for segments that claim to run past the
// sprite's width. Once a row's segments have passed the box's right end, the rest
// of the row is only skipped.
//
// Everything is taken by value: the spans write through byte copies that may
// alias any memory, and values held in locals need not be reloaded after each.
// Always inlined, so that a caller passing a constant width and box (the
// terrain tiles) gets a walk specialised for them.
template <typename Dst, typename SpanFn>
[[gnu::always_inline]] inline void WalkRows(const uint16_t* data, int32_t width, VisibleBox box,
                                            Dst* row, ptrdiff_t stride, SpanFn span) {
    const uint16_t* p = data;
    for (int32_t r = 0; r < box.firstRow; ++r) {
        p = SkipRow(p, width);
    }
    const int32_t lo = box.firstColumn;
    const int32_t hi = box.endColumn;
    for (int32_t rows = box.endRow - box.firstRow; rows > 0; --rows, row += stride) {
        uint32_t n = *p++;
        if (n == 1) {
            span(row, lo, p + lo, hi - lo);
            p += width;
            continue;
        }
        int64_t pos = 0;  // wide enough for any run of skips and lengths
        while (n > 1) {
            --n;
            pos += p[0];
            const int32_t length = p[1];
            const uint16_t* pixels = p + 2;
            p = pixels + length;
            const int64_t start = pos > lo ? pos : lo;
            const int64_t end = pos + length < hi ? pos + length : hi;
            if (start < end) {
                span(row, static_cast<int32_t>(start), pixels + (start - pos),
                     static_cast<int32_t>(end - start));
            }
            pos += length;
            if (pos >= hi) {
                break;
            }
        }
        for (; n > 1; --n) {
            p += 2 + p[1];
        }
    }
}

}  // namespace rle
