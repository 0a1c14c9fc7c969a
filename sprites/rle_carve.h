// Stamping a run-length sprite's shape into a byte grid: every cell under an
// opaque pixel becomes 0. The terrain's craters and tunnels are made this way.
#pragma once

#include <cstdint>

class RleSprite;

// Clears to 0 the cells of the fieldWidth x fieldHeight grid (row-major, one byte
// per cell) that lie under opaque pixels of shape, its top-left pixel placed on
// cell (left, top), one pixel per cell. Cells outside the grid are never touched,
// wherever the shape is placed; the position is 64-bit so that a 32-bit cell
// less an offset to the shape's centre always fits.
void CarveCells(uint8_t* cells, int32_t fieldWidth, int32_t fieldHeight, int64_t left, int64_t top,
                const RleSprite& shape);
