// TerrainField::Carve: craters and tunnels, the shape's opaque pixels cleared from
// the grid by the same clipped run-length walk the sprite drawing uses.
#include "rules/art_layout.h"
#include "rules/terrain_field.h"
#include "sprites/rle_carve.h"

// Every shape is carved as the blast pictures are drawn: its pixel (blastCentre,
// blastCentre) on the given cell, whatever the shape's size.
void TerrainField::Carve(int32_t column, int32_t row, const RleSprite& shape) {
    CarveCells(cells, width, height, int64_t{column} - blastCentre, int64_t{row} - blastCentre,
               shape);
}
