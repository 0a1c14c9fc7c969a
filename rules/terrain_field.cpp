// TerrainField: owning the cell grid and filling it with the tiled dirt pattern.
// Carving lives in terrain_field_carve.cpp.
#include "rules/terrain_field.h"

#include <cstddef>
#include <new>

TerrainField::~TerrainField() {
    delete[] cells;
    cells = nullptr;
    width = 0;
    height = 0;
}

void TerrainField::Generate(int32_t w, int32_t h) {
    // A field of the same size keeps its cells: a new match (or a replay
    // sought back to its start) allocates nothing.
    if (cells == nullptr || w != width || h != height) {
        delete[] cells;
        cells = nullptr;
        width = 0;
        height = 0;
        if (w <= 0 || h <= 0) {
            return;
        }
        cells = new (std::nothrow) uint8_t[static_cast<size_t>(w) * static_cast<size_t>(h)];
        if (cells == nullptr) {
            return;
        }
        width = w;
        height = h;
    }

    // Every 8 x 8 block of cells shows the whole 8 x 8 grid of dirt tiles, so the
    // dirt picture repeats seamlessly over the field.
    uint8_t* cell = cells;
    int32_t rowPhase = 0;
    for (int32_t r = 0; r < h; ++r) {
        int32_t columnPhase = 0;
        for (int32_t c = 0; c < w; ++c) {
            *cell++ = static_cast<uint8_t>(columnPhase + 8 * rowPhase + 1);
            columnPhase = (columnPhase + 1) & 7;
        }
        rowPhase = (rowPhase + 1) & 7;
    }
}
