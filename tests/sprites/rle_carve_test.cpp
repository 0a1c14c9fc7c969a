// CarveCells against the pixel art it was encoded from: every cell under an opaque
// pixel and on the grid becomes 0, every other cell keeps its value.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "sprites/rle_carve.h"
#include "tests/sprites/rle_test_art.h"

namespace {

using test_art::Art;
using test_art::mixed;

struct Grid {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> cells;

    Grid(int32_t w, int32_t h) : width(w), height(h), cells(static_cast<size_t>(w) * h) {
        for (int32_t r = 0; r < h; ++r) {
            for (int32_t c = 0; c < w; ++c) {
                cells[r * w + c] = static_cast<uint8_t>(c % 8 + 8 * (r % 8) + 1);
            }
        }
    }
    uint8_t At(int32_t c, int32_t r) const { return cells[r * width + c]; }
    // Carves as the terrain does: the shape's pixel (26, 26) on cell (column, row).
    void Carve(int32_t column, int32_t row, const RleSprite& shape) {
        CarveCells(cells.data(), width, height, int64_t{column} - 26, int64_t{row} - 26, shape);
    }
};

// The grid as carving should leave it, worked out pixel by pixel from the art.
std::vector<uint8_t> Expected(const Grid& grid, int32_t column, int32_t row, const Art& art,
                              bool literal) {
    std::vector<uint8_t> cells = grid.cells;
    for (int32_t r = 0; r < art.Height(); ++r) {
        for (int32_t c = 0; c < art.Width(); ++c) {
            const int64_t cx = int64_t{column} - 26 + c;
            const int64_t cy = int64_t{row} - 26 + r;
            if ((literal || !art.IsKey(c, r)) && cx >= 0 && cx < grid.width && cy >= 0 &&
                cy < grid.height) {
                cells[cy * grid.width + cx] = 0;
            }
        }
    }
    return cells;
}

int32_t CountEmpty(const Grid& grid) {
    int32_t empty = 0;
    for (uint8_t cell : grid.cells) {
        empty += cell == 0;
    }
    return empty;
}

// Every placement from wholly off the left/top to wholly off the right/bottom, on
// a grid larger than the shape and on grids narrower and shorter than it (the
// shape then overhangs both edges at once).
TEST(CarveCells, MatchesTheArtAtEveryPlacement) {
    for (int32_t mode : {1, 0}) {
        RleSprite shape;
        ASSERT_TRUE(test_art::Encode(shape, mixed, mode));
        for (auto [w, h] : {std::pair{20, 15}, std::pair{9, 4}, std::pair{1, 1}}) {
            for (int32_t row = 26 - 8; row <= 26 + h + 1; ++row) {
                for (int32_t column = 26 - 15; column <= 26 + w + 1; ++column) {
                    Grid grid(w, h);
                    const std::vector<uint8_t> expected =
                        Expected(grid, column, row, mixed, mode != 1);
                    grid.Carve(column, row, shape);
                    ASSERT_EQ(grid.cells, expected) << "mode " << mode << " grid " << w << "x" << h
                                                    << " at " << column << "," << row;
                }
            }
        }
    }
}

TEST(CarveCells, ClipsTheShapeAtTheGridsTopLeftAndBottomEdges) {
    const Art crater = test_art::Crater(54);
    RleSprite shape;
    ASSERT_TRUE(test_art::Encode(shape, crater, 0));

    Grid corner(100, 100);
    corner.Carve(26, 26, shape);
    EXPECT_EQ(CountEmpty(corner), 54 * 54);
    EXPECT_EQ(corner.At(0, 0), 0);
    EXPECT_EQ(corner.At(53, 53), 0);
    EXPECT_NE(corner.At(54, 53), 0);
    EXPECT_NE(corner.At(53, 54), 0);

    Grid origin(100, 100);
    origin.Carve(0, 0, shape);
    EXPECT_EQ(CountEmpty(origin), 28 * 28);
    EXPECT_EQ(origin.At(27, 27), 0);
    EXPECT_NE(origin.At(28, 0), 0);

    // The last row of the shape on the grid's last row is carved whole; a shape
    // starting one row further down, or one column past the right edge, is not.
    Grid bottom(100, 100);
    bottom.Carve(50, 100 - 54 + 26, shape);
    EXPECT_EQ(CountEmpty(bottom), 54 * 54);
    bottom.Carve(50, 100 + 26, shape);
    bottom.Carve(100 + 26, 50, shape);
    EXPECT_EQ(CountEmpty(bottom), 54 * 54);
}

TEST(CarveCells, WiderAndTallerThanTheGridClearsExactlyTheCellsOnIt) {
    const Art crater = test_art::Crater(54);
    RleSprite shape;
    ASSERT_TRUE(test_art::Encode(shape, crater));
    Grid grid(10, 6);
    grid.Carve(6, 4, shape);  // sprite columns 20 .. 29, rows 22 .. 27 on the grid
    EXPECT_EQ(grid.cells, Expected(Grid(10, 6), 6, 4, crater, false));
    EXPECT_GT(CountEmpty(grid), 0);
    EXPECT_LT(CountEmpty(grid), 60);  // the crater's holes reach the middle rows
}

TEST(CarveCells, CarvingTwiceLeavesWhatCarvingOnceLeft) {
    const Art crater = test_art::Crater(54);
    RleSprite shape;
    ASSERT_TRUE(test_art::Encode(shape, crater));
    Grid once(80, 80);
    once.Carve(40, 33, shape);
    Grid twice(80, 80);
    twice.Carve(40, 33, shape);
    twice.Carve(40, 33, shape);
    EXPECT_EQ(once.cells, twice.cells);
    EXPECT_EQ(once.cells, Expected(Grid(80, 80), 40, 33, crater, false));
}

TEST(CarveCells, NothingHappensWithoutDataGridOrAReachablePlacement) {
    RleSprite empty;
    empty.Bind(nullptr, 4, 4);
    Grid grid(16, 16);
    const std::vector<uint8_t> untouched = grid.cells;
    grid.Carve(26, 26, empty);
    EXPECT_EQ(grid.cells, untouched);

    RleSprite shape;
    ASSERT_TRUE(test_art::Encode(shape, mixed));
    CarveCells(nullptr, 16, 16, 0, 0, shape);
    CarveCells(grid.cells.data(), 0, 16, 0, 0, shape);
    CarveCells(grid.cells.data(), 16, -1, 0, 0, shape);
    for (int32_t far : {INT32_MIN, INT32_MIN + 25, -1000000, 1000000, INT32_MAX}) {
        grid.Carve(far, 26, shape);
        grid.Carve(26, far, shape);
        grid.Carve(far, far, shape);
    }
    EXPECT_EQ(grid.cells, untouched);
}

}  // namespace
