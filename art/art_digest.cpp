// The art digest: the carving's own walk over each shape's encoded rows, its
// opaque spans merged into maximal runs and hashed.
#include "art/art_digest.h"

#include <vector>

#include "rules/fnv1a_digest.h"
#include "rules/world_state.h"
#include "sprites/rle_row_walker.h"
#include "sprites/rle_sprite.h"

namespace {

struct Run {
    uint32_t first;
    uint32_t length;
};

// The opaque runs of one row as the carving sees them: the walk calls back
// once per encoded segment, clipped to the width as the carving clips it, and
// spans that meet are one run, so the same opaque pixels give the same runs
// however the encoder split them.
void RowRuns(const RleSprite& shape, int32_t row, std::vector<Run>& runs) {
    runs.clear();
    uint8_t unused = 0;  // the walk's destination row; nothing is written through it
    const rle::VisibleBox box{row, row + 1, 0, shape.width};
    rle::WalkRows(shape.rleData, shape.width, box, &unused, 0,
                  [&runs](uint8_t*, int32_t column, const uint16_t*, int32_t length) {
                      const auto first = static_cast<uint32_t>(column);
                      if (!runs.empty() && runs.back().first + runs.back().length == first) {
                          runs.back().length += static_cast<uint32_t>(length);
                      } else {
                          runs.push_back(Run{first, static_cast<uint32_t>(length)});
                      }
                  });
}

void AddShape(Fnv1aDigest& digest, const RleSprite& shape) {
    const bool loaded = shape.rleData != nullptr && shape.width > 0 && shape.height > 0;
    const uint32_t width = shape.width > 0 ? static_cast<uint32_t>(shape.width) : 0;
    const uint32_t height = shape.height > 0 ? static_cast<uint32_t>(shape.height) : 0;
    digest.Value(width);
    digest.Value(height);
    std::vector<Run> runs;
    for (uint32_t row = 0; row < height; ++row) {
        if (loaded) {
            RowRuns(shape, static_cast<int32_t>(row), runs);
        }
        digest.Value(static_cast<uint32_t>(runs.size()));
        for (const Run& run : runs) {
            digest.Value(run.first);
            digest.Value(run.length);
        }
    }
}

}  // namespace

uint64_t DigestCarveShapes(const RleSprite* shapes, int32_t count) {
    Fnv1aDigest digest;
    for (int32_t j = 0; j < count; ++j) {
        AddShape(digest, shapes[j]);
    }
    return digest.hash;
}

uint64_t ArtDigest() {
    return DigestCarveShapes(blastSprites, blastSpriteCount);
}
