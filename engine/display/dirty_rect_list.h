// DirtyRectList: the rectangles of a frame that changed, kept inside a bounds
// rectangle, for presenting only those parts. Storage is fixed at
// construction; the frame loop allocates nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/display/rect.h"

class DirtyRectList {
public:
    explicit DirtyRectList(int32_t capacity = 64);
    virtual ~DirtyRectList() = default;

    Rect bounds;   // right and bottom exclusive; empty bounds clip nothing
    Rect current;  // the rectangle last chosen with Select

    // Adds a rectangle (right and bottom exclusive) cut to bounds; an empty
    // one is dropped. With the list full it is merged into the last entry.
    void Add(const Rect& rect);
    void Clear();
    int32_t Count() const;
    // Makes the index-th rectangle current; false (current unchanged) outside
    // 0..Count()-1.
    bool Select(int32_t index);

private:
    std::vector<Rect> rects;
    int32_t count = 0;
};
