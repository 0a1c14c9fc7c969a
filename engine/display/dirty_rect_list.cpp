// DirtyRectList: clipping, adding and choosing rectangles.
#include "engine/display/dirty_rect_list.h"

#include <algorithm>

DirtyRectList::DirtyRectList(int32_t capacity) : rects(std::max(capacity, 1)) {}

void DirtyRectList::Add(const Rect& rect) {
    Rect r = rect;
    if (bounds.right > bounds.left && bounds.bottom > bounds.top) {
        r.left = std::max(r.left, bounds.left);
        r.top = std::max(r.top, bounds.top);
        r.right = std::min(r.right, bounds.right);
        r.bottom = std::min(r.bottom, bounds.bottom);
    }
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    if (count == static_cast<int32_t>(rects.size())) {
        Rect& last = rects[count - 1];
        last.left = std::min(last.left, r.left);
        last.top = std::min(last.top, r.top);
        last.right = std::max(last.right, r.right);
        last.bottom = std::max(last.bottom, r.bottom);
        return;
    }
    rects[count++] = r;
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
