// ScaleAxis: how one axis of a picture maps onto the pixels it is scaled to,
// as a table built once per size: for each target pixel, the source pixel it
// starts in and how much of the next source pixel it also covers.
#pragma once

#include <cstdint>
#include <vector>

// Weights are in 256ths. Scaling up, a target pixel covers at most two source
// pixels, and its weight is the share of its width that falls in the second:
// every source pixel keeps exactly its scaled width on the target, and an edge
// between two source pixels blends into at most one target pixel (the one it
// crosses); every other target pixel is one source pixel's own colour. A whole
// factor has no weights at all, pixel for pixel nearest. Scaling down, the two
// source pixels nearest the target pixel's centre are blended by distance.
class ScaleAxis {
public:
    static constexpr int32_t one = 256;  // the weight of a whole pixel

    // Builds the table for sourceSize pixels scaled to targetSize (both > 0);
    // nothing is rebuilt when the sizes are the ones it has.
    void Build(int32_t sourceSize, int32_t targetSize);

    // The target pixels [first, end) that show source pixels [from, to): the
    // range a change to those source pixels must redraw.
    void TargetSpan(int32_t from, int32_t to, int32_t* first, int32_t* end) const;

    int32_t sourceSize = 0;
    int32_t targetSize = 0;
    bool blends = false;         // some target pixel mixes two source pixels
    std::vector<int32_t> start;  // per target pixel: the first source pixel it shows
    std::vector<int32_t> next;   // per target pixel: the weight of source pixel start + 1
    // Scaling up, the same per source pixel, in target order: the target
    // pixels that show it alone, then (when its right edge falls inside a
    // target pixel) the weight of the next source pixel in that one, else 0.
    // Empty when scaling down.
    std::vector<int32_t> alone;
    std::vector<int32_t> edge;
};
