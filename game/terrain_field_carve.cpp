// TerrainField::Carve: craters and tunnels, the shape's opaque pixels cleared from
// the grid by the same clipped run-length walk the sprite drawing uses.
#include "game/terrain_field.h"
#include "sprites/rle_carve.h"

void TerrainField::Carve(int32_t column, int32_t row, const RleSprite& shape) {
    CarveCells(cells, width, height, column, row, shape);
}
