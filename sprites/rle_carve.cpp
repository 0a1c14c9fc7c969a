// Stamping a run-length sprite's shape into a byte grid: the cells under opaque
// pixels are cleared, one cell per sprite pixel, each cleared span one memset.
#include "sprites/rle_carve.h"

#include <cstring>

#include "sprites/rle_row_walker.h"
#include "sprites/rle_sprite.h"

void CarveCells(uint8_t* cells, int32_t fieldWidth, int32_t fieldHeight, int64_t left, int64_t top,
                const RleSprite& shape) {
    if (cells == nullptr || shape.rleData == nullptr || fieldWidth <= 0 || fieldHeight <= 0) {
        return;
    }
    // Grid bounds are exclusive: columns 0 .. fieldWidth - 1, rows 0 .. fieldHeight - 1.
    // A shape overhanging both the left and the right edge keeps both cuts.
    rle::VisibleBox box;
    if (!rle::ClipBox(left, top, shape.width, shape.height, 0, 0, fieldWidth, fieldHeight, &box)) {
        return;
    }
    uint8_t* firstRow = cells + (top + box.firstRow) * fieldWidth;
    rle::WalkRows(shape.rleData, shape.width, box, firstRow, fieldWidth,
                  [left](uint8_t* cellRow, int32_t spriteColumn, const uint16_t*, int32_t count) {
                      // Column first: cellRow + left alone points before the grid when the
                      // shape overhangs its left edge.
                      std::memset(cellRow + (left + spriteColumn), 0, static_cast<size_t>(count));
                  });
}
