// DirtyRectList: the parts of a frame that changed, kept as rectangles that do
// not overlap inside a bounds rectangle, for presenting only those parts.
// Storage is fixed at construction; adding and subtracting allocate nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/display/rect.h"

// Rectangles are right and bottom exclusive. After every operation no two
// listed rectangles overlap, each lies inside the bounds (unless the bounds are
// empty) and together they cover at least what was added minus what was
// subtracted. They cover more only where the list chose to merge:
// - Add joins the new rectangle with a listed one it overlaps into their
//   bounding box, unless the box would hold more area outside the two than
//   inside them; such a merge is declined and the new rectangle is cut into
//   the pieces around the listed one instead. Rectangles that merely touch are
//   joined only when their box is exactly their union (a whole common edge),
//   which adds nothing; touching at a corner or along part of an edge, they
//   stay apart. Each merge grows the rectangle, so merging repeats until it
//   overlaps nothing it could join.
// - With no room for the new rectangle or its pieces, it swallows every listed
//   rectangle it overlaps and, if the list is still full, the one whose
//   bounding box with it grows least, until it fits.
// - Subtract cuts each listed rectangle into the up to four pieces around the
//   subtracted one; a rectangle that has no room for its pieces stays whole.
class DirtyRectList {
public:
    explicit DirtyRectList(int32_t capacity = 64);
    virtual ~DirtyRectList() = default;

    // Empty bounds clip nothing. The listed rectangles are not cut again when
    // the bounds change: Clear first.
    Rect bounds;
    Rect current;  // the rectangle last chosen with Select

    // An empty or inverted rectangle, or one wholly outside the bounds, is
    // dropped; the listed rectangles then stay exactly as they were.
    void Add(const Rect& rect);
    void Subtract(const Rect& rect);
    void Clear();
    int32_t Count() const;
    // Makes the index-th rectangle current; false (current unchanged) outside
    // 0..Count()-1.
    bool Select(int32_t index);

private:
    bool ClipToBounds(const Rect& rect, Rect* clipped) const;
    // Appends the parts of r that no listed rectangle covers; false, with the
    // list unchanged, when they do not fit.
    bool AppendUncovered(const Rect& r);
    void AppendSwallowing(Rect r);
    void RemoveAt(int32_t index);  // the last rectangle takes its place
    void Append(const Rect& r);

    int32_t Capacity() const { return static_cast<int32_t>(rects.size()); }

    std::vector<Rect> rects;
    std::vector<Rect> pieces;  // scratch for AppendUncovered, as large as rects
    int32_t count = 0;
};
