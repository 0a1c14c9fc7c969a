// Loads arbitrary bytes as an 8-bit bitmap into masks of a few sizes, placed
// inside, across and far outside them (up to the int32 limits), then encodes,
// blurs and scales each and checks every run against the values it covers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/display/opacity_mask.h"

namespace {

struct Placement {
    int32_t width, height, x, y;
};
constexpr Placement Placements[] = {
    {1, 1, 0, 0},
    {7, 5, 0, 0},
    {7, 5, -3, 2},
    {16, 16, 5, -4},
    {3, 3, INT32_MAX, INT32_MIN},
    {4, 4, INT32_MIN, INT32_MAX},
};

// Aborts unless each row's runs lie in order inside the row, cover exactly
// the values at or above the threshold, and say truly whether they are opaque.
void CheckRuns(const OpacityMask& mask) {
    if (!mask.RunsCurrent() || static_cast<size_t>(mask.runStarts.back()) != mask.runs.size()) {
        std::abort();
    }
    for (int32_t row = 0; row < mask.height; ++row) {
        const uint8_t* line = mask.values.data() + static_cast<size_t>(row) * mask.width;
        int32_t column = 0;
        for (int32_t i = mask.runStarts[row]; i < mask.runStarts[row + 1]; ++i) {
            const OpacityMask::Run& run = mask.runs[i];
            if (run.column < column || run.length < 1 || run.length > mask.width - run.column) {
                std::abort();
            }
            for (; column < run.column; ++column) {
                if (line[column] >= opacityMaskDrawThreshold) {
                    std::abort();
                }
            }
            for (; column < run.column + run.length; ++column) {
                if (line[column] < opacityMaskDrawThreshold ||
                    (line[column] == 255) != run.opaque) {
                    std::abort();
                }
            }
        }
        for (; column < mask.width; ++column) {
            if (line[column] >= opacityMaskDrawThreshold) {
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const Placement& p : Placements) {
        OpacityMask mask(p.width, p.height);
        if (!mask.LoadBitmap(data, size, p.x, p.y)) {
            for (uint8_t value : mask.values) {
                if (value != 0) {
                    std::abort();
                }
            }
            continue;
        }
        mask.Encode(opacityMaskDrawThreshold);
        CheckRuns(mask);
        mask.Blur(1 + static_cast<int32_t>(size % 3));
        if (!mask.Scale(p.width * 2 + 1, p.height + 1)) {
            std::abort();
        }
        mask.Encode(opacityMaskDrawThreshold);
        CheckRuns(mask);
    }
    return 0;
}
