// The blast shapes' digest: each shape carved into a grid of ones, the grid
// hashed.
#include "game/blast_shape_digest.h"

#include <cstring>

#include "game/art_layout.h"
#include "game/game_objects.h"
#include "sprites/rle_carve.h"

namespace {

constexpr uint64_t fnvOffset = 0xCBF29CE484222325ull;
constexpr uint64_t fnvPrime = 0x100000001B3ull;

uint64_t AddBytes(uint64_t hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t k = 0; k < size; ++k) {
        hash = (hash ^ bytes[k]) * fnvPrime;
    }
    return hash;
}

}  // namespace

uint64_t DigestBlastShapes() {
    // A shape larger than the pictures' cells is carved only as far as a cell
    // reaches; its size, hashed as well, still tells it apart.
    uint8_t grid[blastSpriteSide * blastSpriteSide];
    uint64_t hash = fnvOffset;
    for (const RleSprite& shape : blastSprites) {
        hash = AddBytes(hash, &shape.width, sizeof shape.width);
        hash = AddBytes(hash, &shape.height, sizeof shape.height);
        std::memset(grid, 1, sizeof grid);
        CarveCells(grid, blastSpriteSide, blastSpriteSide, 0, 0, shape);
        hash = AddBytes(hash, grid, sizeof grid);
    }
    return hash;
}
