// The window of its own: the largest whole multiple of the picture that fits
// the desktop's usable area, never below 1x, centred in it.
#include "app/window_mode.h"

#include <gtest/gtest.h>

namespace {

void ExpectArea(const DisplayArea& area, int32_t x, int32_t y, int32_t width, int32_t height) {
    EXPECT_EQ(area.x, x);
    EXPECT_EQ(area.y, y);
    EXPECT_EQ(area.width, width);
    EXPECT_EQ(area.height, height);
}

TEST(OwnWindowArea, LargestWholeMultipleThatFitsCentred) {
    // 1920 x 1080: twice 600 is too tall, so 1x.
    ExpectArea(OwnWindowArea({0, 0, 1920, 1080}, 800, 600), 560, 240, 800, 600);
    // A panel at the top takes 32 rows: the window centres in what is left.
    ExpectArea(OwnWindowArea({0, 32, 1920, 1048}, 800, 600), 560, 256, 800, 600);
    ExpectArea(OwnWindowArea({0, 0, 2560, 1440}, 800, 600), 480, 120, 1600, 1200);
    ExpectArea(OwnWindowArea({0, 0, 3840, 2160}, 800, 600), 720, 180, 2400, 1800);
    // Exactly twice fits; one pixel less does not.
    ExpectArea(OwnWindowArea({0, 0, 1600, 1200}, 800, 600), 0, 0, 1600, 1200);
    ExpectArea(OwnWindowArea({0, 0, 1600, 1199}, 800, 600), 400, 299, 800, 600);
    // A second display to the right: its own origin.
    ExpectArea(OwnWindowArea({1920, 0, 1280, 1024}, 800, 600), 2160, 212, 800, 600);
    // A desktop smaller than the picture still gets it at 1x, centred over it.
    ExpectArea(OwnWindowArea({0, 0, 640, 480}, 800, 600), -80, -60, 800, 600);
}

}  // namespace
