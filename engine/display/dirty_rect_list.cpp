// DirtyRectList: clipping, merging, cutting and subtracting rectangles, and
// choosing them one by one for the presenter.
#include "engine/display/dirty_rect_list.h"

#include <algorithm>

namespace {

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Sides are taken in 64 bits: a rectangle may span the whole int32 range, and
// its area, below 2^64, still fits unsigned.
uint64_t Area(const Rect& r) {
    return static_cast<uint64_t>(static_cast<int64_t>(r.right) - r.left) *
           static_cast<uint64_t>(static_cast<int64_t>(r.bottom) - r.top);
}

Rect BoundingBox(const Rect& a, const Rect& b) {
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

Rect Intersection(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// Area the two cover together; it never exceeds their bounding box's, so the
// sum cannot wrap.
uint64_t UnionArea(const Rect& a, const Rect& b) {
    const uint64_t shared = Overlap(a, b) ? Area(Intersection(a, b)) : 0;
    return Area(a) - shared + Area(b);
}

// Overlapping rectangles merge when their bounding box wastes no more area
// than they cover; rectangles that do not overlap only when it wastes none.
bool WorthMerging(const Rect& a, const Rect& b) {
    const uint64_t covered = UnionArea(a, b);
    const uint64_t waste = Area(BoundingBox(a, b)) - covered;
    return Overlap(a, b) ? waste <= covered : waste == 0;
}

// The parts of r outside the overlapping rectangle hole: a band above and one
// below across r's width, and a piece left and right of the hole between them.
int32_t CutAround(const Rect& r, const Rect& hole, Rect* parts) {
    int32_t n = 0;
    const int32_t top = std::max(r.top, hole.top);
    const int32_t bottom = std::min(r.bottom, hole.bottom);
    if (r.top < hole.top) {
        parts[n++] = Rect{r.left, r.top, r.right, hole.top};
    }
    if (hole.bottom < r.bottom) {
        parts[n++] = Rect{r.left, hole.bottom, r.right, r.bottom};
    }
    if (r.left < hole.left) {
        parts[n++] = Rect{r.left, top, hole.left, bottom};
    }
    if (hole.right < r.right) {
        parts[n++] = Rect{hole.right, top, r.right, bottom};
    }
    return n;
}

}  // namespace

DirtyRectList::DirtyRectList(int32_t capacity)
    : rects(std::max(capacity, 1)), pieces(std::max(capacity, 1)) {}

void DirtyRectList::Add(const Rect& rect) {
    Rect r;
    if (!ClipToBounds(rect, &r)) {
        return;
    }
    // Every merge removes a listed rectangle, so this ends; it starts over
    // because the grown rectangle may now reach ones already passed.
    for (int32_t i = 0; i < count;) {
        if (WorthMerging(r, rects[i])) {
            r = BoundingBox(r, rects[i]);
            RemoveAt(i);
            i = 0;
        } else {
            ++i;
        }
    }
    if (!AppendUncovered(r)) {
        AppendSwallowing(r);
    }
}

void DirtyRectList::Subtract(const Rect& rect) {
    Rect s;
    if (!ClipToBounds(rect, &s)) {
        return;
    }
    // Rectangles that shrink or vanish go first, so that those which split
    // find the room they free. Walking down, the rectangle that RemoveAt moves
    // into slot i has been dealt with already (or is a fresh piece).
    for (const bool splitting : {false, true}) {
        for (int32_t i = count - 1; i >= 0; --i) {
            if (!Overlap(rects[i], s)) {
                continue;
            }
            Rect parts[4];
            const int32_t n = CutAround(rects[i], s, parts);
            if ((n >= 2) != splitting || count - 1 + n > Capacity()) {
                continue;
            }
            RemoveAt(i);
            for (int32_t k = 0; k < n; ++k) {
                Append(parts[k]);
            }
        }
    }
}

void DirtyRectList::Clear() {
    count = 0;
}

int32_t DirtyRectList::Count() const {
    return count;
}

bool DirtyRectList::Select(int32_t index) {
    if (index < 0 || index >= count) {
        return false;
    }
    current = rects[index];
    return true;
}

bool DirtyRectList::ClipToBounds(const Rect& rect, Rect* clipped) const {
    Rect r = rect;
    if (bounds.right > bounds.left && bounds.bottom > bounds.top) {
        r = Intersection(r, bounds);
    }
    *clipped = r;
    return r.right > r.left && r.bottom > r.top;
}

bool DirtyRectList::AppendUncovered(const Rect& r) {
    const int32_t room = Capacity() - count;
    int32_t n = 1;
    pieces[0] = r;
    for (int32_t i = 0; i < count; ++i) {
        const Rect& listed = rects[i];
        // Pieces cut here lie outside `listed`, so those appended past the
        // starting j need no second look; walking down, the piece moved into
        // slot j by a removal has had its look.
        for (int32_t j = n - 1; j >= 0; --j) {
            if (!Overlap(pieces[j], listed)) {
                continue;
            }
            Rect parts[4];
            const int32_t made = CutAround(pieces[j], listed, parts);
            if (n - 1 + made > room) {
                return false;
            }
            pieces[j] = pieces[--n];
            for (int32_t k = 0; k < made; ++k) {
                pieces[n++] = parts[k];
            }
        }
    }
    if (n > room) {
        return false;
    }
    for (int32_t j = 0; j < n; ++j) {
        Append(pieces[j]);
    }
    return true;
}

void DirtyRectList::AppendSwallowing(Rect r) {
    for (;;) {
        for (int32_t i = 0; i < count;) {
            if (Overlap(r, rects[i])) {
                r = BoundingBox(r, rects[i]);
                RemoveAt(i);
                i = 0;
            } else {
                ++i;
            }
        }
        if (count < Capacity()) {
            Append(r);
            return;
        }
        // r now overlaps nothing, so each box's growth is its area outside the
        // two; ties go to the later rectangle.
        int32_t cheapest = 0;
        uint64_t leastGrowth = UINT64_MAX;
        for (int32_t i = 0; i < count; ++i) {
            const uint64_t growth = Area(BoundingBox(r, rects[i])) - Area(rects[i]) - Area(r);
            if (growth <= leastGrowth) {
                leastGrowth = growth;
                cheapest = i;
            }
        }
        r = BoundingBox(r, rects[cheapest]);
        RemoveAt(cheapest);
    }
}

void DirtyRectList::RemoveAt(int32_t index) {
    rects[index] = rects[--count];
}

void DirtyRectList::Append(const Rect& r) {
    rects[count++] = r;
}
