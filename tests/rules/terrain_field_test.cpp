// Terrain field generation and the game's random sequence.
#include <gtest/gtest.h>

#include "rules/next_random.h"
#include "rules/terrain_field.h"

namespace {

int Cell(const TerrainField& field, int32_t column, int32_t row) {
    return field.cells[row * field.width + column];
}

TEST(TerrainFieldGenerate, TilesTheDirtPatternOverTheWholeGrid) {
    TerrainField field;
    EXPECT_EQ(field.cells, nullptr);
    field.Generate(400, 400);
    ASSERT_NE(field.cells, nullptr);
    ASSERT_EQ(field.width, 400);
    ASSERT_EQ(field.height, 400);
    EXPECT_EQ(Cell(field, 0, 0), 1);
    EXPECT_EQ(Cell(field, 7, 0), 8);
    EXPECT_EQ(Cell(field, 8, 0), 1);
    EXPECT_EQ(Cell(field, 0, 1), 9);
    EXPECT_EQ(Cell(field, 7, 7), 64);
    EXPECT_EQ(Cell(field, 399, 399), 64);
    for (int32_t r = 0; r < 400; ++r) {
        for (int32_t c = 0; c < 400; ++c) {
            ASSERT_EQ(Cell(field, c, r), c % 8 + 8 * (r % 8) + 1) << c << ", " << r;
        }
    }
}

// Rows whose width is not a multiple of 8 restart the column phase at 0.
TEST(TerrainFieldGenerate, NarrowAndEmptyGrids) {
    TerrainField field;
    field.Generate(3, 10);
    ASSERT_EQ(field.width, 3);
    EXPECT_EQ(Cell(field, 0, 1), 9);
    EXPECT_EQ(Cell(field, 2, 9), 3 + 8);
    // A second Generate replaces the grid (the sanitizer build shows no leak).
    field.Generate(0, 10);
    EXPECT_EQ(field.cells, nullptr);
    EXPECT_EQ(field.width, 0);
    EXPECT_EQ(field.height, 0);
    field.Generate(10, -1);
    EXPECT_EQ(field.cells, nullptr);
}

TEST(NextRandom, StartsFromTheFixedSeedAndResets) {
    ResetRandom();
    const int32_t first[] = {41, 18467, 6334, 26500, 19169, 15724, 11478};
    for (int32_t expected : first) {
        EXPECT_EQ(NextRandom(), expected);
    }
    for (int i = 0; i < 100000; ++i) {
        const int32_t value = NextRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
    ResetRandom();
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);

    // A reduction by an empty extent still uses up its number.
    ResetRandom();
    EXPECT_EQ(NextRandomBelow(0), 0);
    EXPECT_EQ(NextRandomBelow(-5), 0);
    EXPECT_EQ(NextRandomBelow(400), 6334 % 400);
}

}  // namespace
