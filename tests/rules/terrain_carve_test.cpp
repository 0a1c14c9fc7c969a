// Craters in the game's 400 x 400 field: TerrainField::Carve clears the dirt under
// a crater shape's opaque pixels and leaves every other cell showing its tile.
#include <gtest/gtest.h>

#include "rules/terrain_field.h"
#include "tests/sprites/rle_test_art.h"

namespace {

constexpr int32_t side = 400;

uint8_t GeneratedCell(int32_t c, int32_t r) {
    return static_cast<uint8_t>(c % 8 + 8 * (r % 8) + 1);
}

// Checks every cell of the field against the crater art placed for Carve(column,
// row): empty under an opaque pixel on the grid, its generated tile elsewhere.
void ExpectCraters(const TerrainField& field, const test_art::Art& art,
                   std::initializer_list<std::pair<int32_t, int32_t>> placements) {
    for (int32_t r = 0; r < field.height; ++r) {
        for (int32_t c = 0; c < field.width; ++c) {
            bool carved = false;
            for (auto [column, row] : placements) {
                const int32_t sx = c - (column - 26);
                const int32_t sy = r - (row - 26);
                carved = carved || (sx >= 0 && sx < art.Width() && sy >= 0 && sy < art.Height() &&
                                    !art.IsKey(sx, sy));
            }
            ASSERT_EQ(field.cells[r * field.width + c], carved ? 0 : GeneratedCell(c, r))
                << "cell " << c << "," << r;
        }
    }
}

TEST(TerrainCarve, CratersInsideAndAcrossTheFieldEdges) {
    const test_art::Art crater = test_art::Crater(54);
    RleSprite shape;
    ASSERT_TRUE(test_art::Encode(shape, crater));
    TerrainField field;
    field.Generate(side, side);

    // The middle, the top-left corner cell, each edge half across, and the last
    // shape column or row just reaching the first or last cell.
    const auto placements = {std::pair{200, 200},          std::pair{0, 0},     std::pair{399, 150},
                             std::pair{150, 399},          std::pair{-27, 300}, std::pair{300, -27},
                             std::pair{side + 26 - 1, 90}, std::pair{26, 26}};
    for (auto [column, row] : placements) {
        field.Carve(column, row, shape);
    }
    ExpectCraters(field, crater,
                  {{200, 200},
                   {0, 0},
                   {399, 150},
                   {150, 399},
                   {-27, 300},
                   {300, -27},
                   {side + 26 - 1, 90},
                   {26, 26}});
    EXPECT_EQ(field.cells[200 * side + 200], 0);
}

TEST(TerrainCarve, ShapesWhollyOutsideTheFieldLeaveItWhole) {
    const test_art::Art crater = test_art::Crater(54);
    RleSprite shape;
    ASSERT_TRUE(test_art::Encode(shape, crater));
    TerrainField field;
    field.Generate(side, side);
    field.Carve(side + 26, 200, shape);
    field.Carve(200, side + 26, shape);
    field.Carve(-28, 200, shape);
    field.Carve(200, -28, shape);
    field.Carve(-5000, -5000, shape);
    ExpectCraters(field, crater, {});

    TerrainField ungenerated;
    ungenerated.Carve(26, 26, shape);
    EXPECT_EQ(ungenerated.cells, nullptr);
}

}  // namespace
