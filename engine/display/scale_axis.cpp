// ScaleAxis: the per-size table of source pixels and blend weights.
#include "engine/display/scale_axis.h"

#include <algorithm>

void ScaleAxis::Build(int32_t source, int32_t target) {
    if (source == sourceSize && target == targetSize && !start.empty()) {
        return;
    }
    sourceSize = source;
    targetSize = target;
    blends = false;
    start.assign(static_cast<size_t>(std::max(target, 1)), 0);
    next.assign(static_cast<size_t>(std::max(target, 1)), 0);
    if (source <= 0 || target <= 0) {
        return;
    }
    const int64_t s = source;
    const int64_t t = target;
    for (int64_t i = 0; i < t; ++i) {
        int64_t first = 0;
        int64_t weight = 0;
        if (t >= s) {
            // In 1/t of a source pixel the target pixel spans [i * s, (i + 1) * s);
            // what lies past the end of source pixel `first` is the next one's share.
            first = i * s / t;
            const int64_t past = (i + 1) * s - (first + 1) * t;
            if (past > 0) {
                weight = (past * one + s / 2) / s;
            }
        } else {
            // The target pixel's centre in 1/(2t) of a source pixel, measured
            // from the first source pixel's centre.
            const int64_t centre = (2 * i + 1) * s - t;
            if (centre > 0) {
                first = centre / (2 * t);
                weight = (centre % (2 * t) * one + t) / (2 * t);
            }
            if (first >= s - 1) {
                first = s - 1;
                weight = 0;
            }
        }
        start[i] = static_cast<int32_t>(first);
        next[i] = static_cast<int32_t>(weight);
        blends = blends || weight != 0;
    }
    alone.clear();
    edge.clear();
    if (t >= s) {
        alone.assign(static_cast<size_t>(s), 0);
        edge.assign(static_cast<size_t>(s), 0);
        for (int64_t i = 0; i < t; ++i) {
            if (next[i] == 0) {
                ++alone[start[i]];
            } else {
                edge[start[i]] = next[i];
            }
        }
    }
}

void ScaleAxis::TargetSpan(int32_t from, int32_t to, int32_t* first, int32_t* end) const {
    if (sourceSize <= 0 || targetSize <= 0 || to <= from) {
        *first = *end = 0;
        return;
    }
    const int64_t s = sourceSize;
    const int64_t t = targetSize;
    // Scaling up, target pixel i shows source pixels [from, to) when its span
    // [i * s, (i + 1) * s) meets [from * t, to * t); scaling down, the blend
    // may reach one target pixel further on each side.
    int64_t low = from * t / s;
    int64_t high = (to * t + s - 1) / s;
    if (t < s) {
        --low;
        ++high;
    }
    *first = static_cast<int32_t>(std::clamp<int64_t>(low, 0, t));
    *end = static_cast<int32_t>(std::clamp<int64_t>(high, 0, t));
}
