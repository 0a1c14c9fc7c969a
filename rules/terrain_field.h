// TerrainField: the destructible dirt, one byte per 8 x 8-pixel cell, row by row
// from the top. 0 is empty; 1..64 is dirt showing dirt tile (value - 1).
#pragma once

#include <cstdint>

class RleSprite;

// A cell's side in field pixels: field pixel (x, y) lies in cell (x / 8, y / 8).
inline constexpr int32_t cellPixels = 8;

class TerrainField {
public:
    TerrainField() = default;
    TerrainField(const TerrainField&) = delete;
    TerrainField& operator=(const TerrainField&) = delete;
    virtual ~TerrainField();

    int32_t width = 0;   // cell columns
    int32_t height = 0;  // cell rows
    // Owned, new[]; cell (column c, row r) is cells[r * width + c]. Null until Generate.
    uint8_t* cells = nullptr;

    // Fills a w x h grid (allocated, unless it already has that size) with the
    // dirt tiled in the 8 x 8 dirt pattern:
    // cell (c, r) = (c mod 8) + 8 * (r mod 8) + 1. Sizes of 0 or less leave it empty.
    void Generate(int32_t w, int32_t h);
    // Clears the cells under the shape's opaque pixels, its pixel (blastCentre,
    // blastCentre) = (26, 26) on cell (column, row), one pixel per cell, clipped
    // to the grid.
    void Carve(int32_t column, int32_t row, const RleSprite& shape);
};
