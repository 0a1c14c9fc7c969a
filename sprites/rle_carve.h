// Stamping a run-length sprite's shape into a byte grid: every cell under an
// opaque pixel becomes 0. The terrain's craters and tunnels are made this way.
#pragma once

#include <cstdint>

class RleSprite;

// Clears to 0 the cells of the fieldWidth x fieldHeight grid (row-major, one byte
// per cell) that lie under opaque pixels of shape, its top-left pixel placed on
// cell (column - 26, row - 26), one pixel per cell. Cells outside the grid are
// never touched.
void CarveCells(uint8_t* cells, int32_t fieldWidth, int32_t fieldHeight, int32_t column,
                int32_t row, const RleSprite& shape);
