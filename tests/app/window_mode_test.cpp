// The window of its own: with no size of the player's, the largest multiple
// of the picture in steps of one half that fits the desktop's usable area,
// centred in it; a size of the player's kept, cut to the area; the sizes
// from the window's size messages that are worth remembering.
#include "app/window_mode.h"

#include <gtest/gtest.h>

namespace {

void ExpectArea(const DisplayArea& area, int32_t x, int32_t y, int32_t width, int32_t height) {
    EXPECT_EQ(area.x, x);
    EXPECT_EQ(area.y, y);
    EXPECT_EQ(area.width, width);
    EXPECT_EQ(area.height, height);
}

TEST(OwnWindowArea, LargestHalfStepThatFitsCentred) {
    // 1920 x 1080 with a 32-row panel: 1.5x, 1200 x 900.
    ExpectArea(OwnWindowArea({0, 32, 1920, 1048}, 800, 600), 360, 106, 1200, 900);
    ExpectArea(OwnWindowArea({0, 0, 1920, 1080}, 800, 600), 360, 90, 1200, 900);
    // 1280 x 1024 less a panel: 1.5x is 900 rows, 1x it is.
    ExpectArea(OwnWindowArea({0, 0, 1280, 890}, 800, 600), 240, 145, 800, 600);
    ExpectArea(OwnWindowArea({0, 0, 2560, 1440}, 800, 600), 480, 120, 1600, 1200);
    ExpectArea(OwnWindowArea({0, 0, 3840, 2160}, 800, 600), 520, 30, 2800, 2100);
    // Exactly 2.5x fits; one pixel less does not.
    ExpectArea(OwnWindowArea({0, 0, 2000, 1500}, 800, 600), 0, 0, 2000, 1500);
    ExpectArea(OwnWindowArea({0, 0, 2000, 1499}, 800, 600), 200, 149, 1600, 1200);
    // A second display to the right, 1280 x 1024: its own origin, 1.5x.
    ExpectArea(OwnWindowArea({1920, 0, 1280, 1024}, 800, 600), 1960, 62, 1200, 900);
    // A desktop smaller than the picture: half of it; never less.
    ExpectArea(OwnWindowArea({0, 0, 640, 480}, 800, 600), 120, 90, 400, 300);
    ExpectArea(OwnWindowArea({0, 0, 300, 200}, 800, 600), -50, -50, 400, 300);
}

TEST(OwnWindowArea, ThePlayersSizeIsKeptCutToTheUsableArea) {
    ExpectArea(OwnWindowArea({0, 32, 1920, 1048}, 800, 600, 1000, 700), 460, 206, 1000, 700);
    // Wider than the picture's aspect: kept; the picture is letterboxed in it.
    ExpectArea(OwnWindowArea({0, 0, 1920, 1080}, 800, 600, 1700, 500), 110, 290, 1700, 500);
    // Saved on a larger desktop: cut to this one.
    ExpectArea(OwnWindowArea({0, 0, 1280, 1024}, 800, 600, 1600, 1200), 0, 0, 1280, 1024);
    // Only one side given: none.
    ExpectArea(OwnWindowArea({0, 0, 1920, 1080}, 800, 600, 1000, 0), 360, 90, 1200, 900);
}

TEST(NoteOwnWindowSize, OnlyNewSizesOfTheWindowOfItsOwnAreRemembered) {
    SetOwnWindowSize(1200, 900);
    int32_t width = 0;
    int32_t height = 0;
    const auto pack = [](int32_t w, int32_t h) {
        return static_cast<intptr_t>(static_cast<uint32_t>(w) | (static_cast<uint32_t>(h) << 16));
    };
    // Covering the display, its size is the display's, not the player's.
    EXPECT_FALSE(NoteOwnWindowSize(false, pack(1920, 1080), &width, &height));
    EXPECT_FALSE(NoteOwnWindowSize(true, pack(1200, 900), &width, &height));
    EXPECT_FALSE(NoteOwnWindowSize(true, pack(0, 900), &width, &height));
    EXPECT_TRUE(NoteOwnWindowSize(true, pack(1000, 750), &width, &height));
    EXPECT_EQ(width, 1000);
    EXPECT_EQ(height, 750);
    EXPECT_FALSE(NoteOwnWindowSize(true, pack(1000, 750), &width, &height));
    SetOwnWindowSize(0, 0);
}

}  // namespace
