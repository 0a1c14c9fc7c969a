// Frames of the real game, run headless by kivoro_capture with the generated
// art: camera placement from the spawns, the black divider, the panel texts, and
// what a charge and a flight change.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "sprites/bitmap_image.h"

namespace {

const std::string binDir = KIVORO_ASSET_DIR;

// Runs the capture tool and answers its one-line summary ("" on failure).
std::string Capture(const std::string& out, const std::string& args) {
    const std::string command =
        "cd '" + binDir + "' && ./kivoro_capture '" + out + "' " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "";
    }
    std::string summary;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        summary += buffer;
    }
    return pclose(pipe) == 0 ? summary : "";
}

struct Frame {
    BitmapImage image;
    ~Frame() { image.ReleasePixels(); }
    uint16_t At(int x, int y) const {
        return reinterpret_cast<const uint16_t*>(image.pixels)[y * 800 + x];
    }
    // Pixels in [x0, x1) x [y0, y1) that are not black.
    int Lit(int x0, int y0, int x1, int y1) const {
        int lit = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                lit += At(x, y) != 0 ? 1 : 0;
            }
        }
        return lit;
    }
    int Differences(const Frame& other, int x0, int y0, int x1, int y1) const {
        int differ = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                differ += At(x, y) != other.At(x, y) ? 1 : 0;
            }
        }
        return differ;
    }
};

bool LoadFrame(const std::string& path, Frame& frame) {
    return frame.image.Load(path.c_str()) == 1 && frame.image.infoHeader.biWidth == 800 &&
           frame.image.infoHeader.biHeight == 600 && frame.image.infoHeader.biBitCount == 16;
}

std::string TempPath(const char* name) {
    return testing::TempDir() + name;
}

}  // namespace

TEST(FrameCapture, StartingSceneCamerasDividerAndPanel) {
    const std::string path = TempPath("kivoro_start.bmp");
    const std::string summary = Capture(path, "1");
    ASSERT_FALSE(summary.empty());
    // The first two spawns of the fixed random sequence; each camera centres its
    // fighter (176 = (400 - 48) / 2 pixels left and above).
    EXPECT_NE(summary.find("first fighter (328, 536) camera (152, 360) health 100"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("second fighter (2672, 800) camera (2496, 624) health 100"),
              std::string::npos)
        << summary;

    Frame frame;
    ASSERT_TRUE(LoadFrame(path, frame));
    for (int y = 0; y < 400; ++y) {
        EXPECT_EQ(frame.At(399, y), 0) << "column 399, row " << y;
        EXPECT_EQ(frame.At(400, y), 0) << "column 400, row " << y;
    }
    for (int x = 0; x < 800; ++x) {
        EXPECT_EQ(frame.At(x, 399), 0) << "row 399, column " << x;
    }
    // Both views show dirt, and the fighters sit where their cameras put them.
    EXPECT_GT(frame.Lit(0, 0, 399, 399), 20000);
    EXPECT_GT(frame.Lit(401, 0, 800, 399), 20000);
    EXPECT_GT(frame.Lit(176, 176, 224, 224), 100);
    EXPECT_GT(frame.Lit(401 + 176, 176, 401 + 224, 224), 100);
    // The panel: "Health: " and 100 on both sides, the frame rate in the middle.
    EXPECT_GT(frame.Lit(25, 400, 90, 420), 20);
    EXPECT_GT(frame.Lit(100, 400, 130, 420), 20);
    EXPECT_GT(frame.Lit(424, 400, 490, 420), 20);
    EXPECT_GT(frame.Lit(400, 550, 470, 570), 20);
    // Between the texts the panel is black.
    EXPECT_EQ(frame.Lit(200, 400, 399, 600), 0);
    EXPECT_EQ(frame.Lit(0, 425, 399, 445), 0);
}

TEST(FrameCapture, ChargeReleaseCostsHealthAndFlightScrollsTheView) {
    const std::string startPath = TempPath("kivoro_before.bmp");
    const std::string afterPath = TempPath("kivoro_after.bmp");
    ASSERT_FALSE(Capture(startPath, "45").empty());
    // Space held for 41 frames charges 41 ki; its release costs 41 / 5 = 8 health.
    // The second player flies backward (left, facing right) the whole time.
    const std::string summary = Capture(afterPath, "45 space:0-40 left:0-44");
    ASSERT_FALSE(summary.empty());
    EXPECT_NE(summary.find("health 92 ki 0; second fighter"), std::string::npos) << summary;
    EXPECT_EQ(summary.find("second fighter (2672, 800)"), std::string::npos) << summary;

    Frame before;
    Frame after;
    ASSERT_TRUE(LoadFrame(startPath, before));
    ASSERT_TRUE(LoadFrame(afterPath, after));
    EXPECT_GT(after.Differences(before, 100, 400, 140, 420), 0) << "health text unchanged";
    EXPECT_GT(after.Differences(before, 401, 0, 800, 399), 5000) << "right view did not scroll";
}
