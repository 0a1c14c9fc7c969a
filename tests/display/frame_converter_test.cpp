// FrameConverter: the 16-to-32-bit table, the changed-row runs and the scaled,
// clipped conversion into a target.
#include "engine/display/frame_converter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t pictureWidth = 4;
constexpr int32_t pictureHeight = 20;

struct Picture {
    std::vector<uint16_t> pixels = std::vector<uint16_t>(pictureWidth * pictureHeight, 0);
    const uint8_t* Bytes() const { return reinterpret_cast<const uint8_t*>(pixels.data()); }
    static constexpr int32_t pitch = pictureWidth * 2;
};

}  // namespace

TEST(FrameConverter, TableWidensEachChannelAsSdlDoes) {
    FrameConverter converter;
    ASSERT_TRUE(converter.Prepare(SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_RGB888, 1, 1));
    const uint16_t samples[] = {0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x4210, 0x0000};
    const uint32_t wanted[] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x848484, 0x000000};
    int32_t written[4];
    for (int i = 0; i < 6; ++i) {
        uint32_t target = 0xDEADBEEF;
        converter.SetPlacement(Placement{0, 0, 1, 1, 1, 1});
        converter.Draw(reinterpret_cast<const uint8_t*>(&samples[i]), 2, 0, 0, 1, 1,
                       reinterpret_cast<uint8_t*>(&target), 4, written);
        EXPECT_EQ(target, wanted[i]) << "sample " << i;
    }
    // 5-6-5 into a byte order with the blue channel high.
    ASSERT_TRUE(converter.Prepare(SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_BGR888, 1, 1));
    const uint16_t green565 = 0x07E0;
    const uint16_t red565 = 0xF800;
    uint32_t target = 0;
    converter.Draw(reinterpret_cast<const uint8_t*>(&green565), 2, 0, 0, 1, 1,
                   reinterpret_cast<uint8_t*>(&target), 4, written);
    EXPECT_EQ(target & 0xFFFFFF, 0x00FF00u);
    converter.Draw(reinterpret_cast<const uint8_t*>(&red565), 2, 0, 0, 1, 1,
                   reinterpret_cast<uint8_t*>(&target), 4, written);
    EXPECT_EQ(target & 0xFFFFFF, 0x0000FFu);

    EXPECT_FALSE(converter.Prepare(SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_RGB888, 1, 1));
    EXPECT_FALSE(converter.Prepare(SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_RGB565, 1, 1));
}

TEST(FrameConverter, ChangedRowsAreReportedInMergedRuns) {
    FrameConverter converter;
    ASSERT_TRUE(converter.Prepare(SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_RGB888, pictureWidth,
                                  pictureHeight));
    Picture picture;
    RowRun runs[4];
    // The first comparison reports everything.
    ASSERT_EQ(converter.ChangedRows(picture.Bytes(), Picture::pitch, runs, 4), 1);
    EXPECT_EQ(runs[0].first, 0);
    EXPECT_EQ(runs[0].count, pictureHeight);
    EXPECT_EQ(converter.ChangedRows(picture.Bytes(), Picture::pitch, runs, 4), 0);

    // Rows 1 and 3 are closer than runGap: one run; row 15 is far: another.
    picture.pixels[1 * pictureWidth + 2] = 1;
    picture.pixels[3 * pictureWidth] = 1;
    picture.pixels[15 * pictureWidth + 3] = 1;
    ASSERT_EQ(converter.ChangedRows(picture.Bytes(), Picture::pitch, runs, 4), 2);
    EXPECT_EQ(runs[0].first, 1);
    EXPECT_EQ(runs[0].count, 3);
    EXPECT_EQ(runs[1].first, 15);
    EXPECT_EQ(runs[1].count, 1);

    // With room for one run, it reaches to the last changed row.
    picture.pixels[0] = 2;
    picture.pixels[19 * pictureWidth] = 2;
    ASSERT_EQ(converter.ChangedRows(picture.Bytes(), Picture::pitch, runs, 1), 1);
    EXPECT_EQ(runs[0].first, 0);
    EXPECT_EQ(runs[0].count, 20);

    converter.Forget();
    EXPECT_EQ(converter.ChangedRows(picture.Bytes(), Picture::pitch, runs, 4), 1);
}

TEST(FrameConverter, ScaledDrawCoversExactlyTheAreasPixelsAndStaysOnTheTarget) {
    FrameConverter converter;
    ASSERT_TRUE(converter.Prepare(SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_RGB888, pictureWidth,
                                  pictureHeight));
    Picture picture;
    picture.pixels[1 * pictureWidth + 1] = 0x7FFF;
    // Scaled by 3 to 12 x 60, placed at (-2, 1) on a 10 x 40 target.
    std::vector<uint32_t> target(10 * 40, 0xABCDEF);
    converter.SetPlacement(Placement{-2, 1, 12, 60, 10, 40});
    int32_t written[4];
    converter.Draw(picture.Bytes(), Picture::pitch, 1, 1, 1, 1,
                   reinterpret_cast<uint8_t*>(target.data()), 40, written);
    // Source pixel (1, 1) covers target columns 1..3 and rows 4..6.
    EXPECT_EQ(written[0], 1);
    EXPECT_EQ(written[1], 4);
    EXPECT_EQ(written[2], 3);
    EXPECT_EQ(written[3], 3);
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            const bool inside = x >= 1 && x <= 3 && y >= 4 && y <= 6;
            ASSERT_EQ(target[y * 10 + x], inside ? 0xFFFFFFu : 0xABCDEFu) << x << "," << y;
        }
    }
    // The whole picture: column 0 would start left of the target and rows
    // past 39 below it; both are cut.
    converter.Draw(picture.Bytes(), Picture::pitch, 0, 0, pictureWidth, pictureHeight,
                   reinterpret_cast<uint8_t*>(target.data()), 40, written);
    EXPECT_EQ(written[0], 0);
    EXPECT_EQ(written[1], 1);
    EXPECT_EQ(written[2], 10);
    EXPECT_EQ(written[3], 39);
    EXPECT_EQ(target[0], 0xABCDEFu);
    EXPECT_EQ(target[1 * 10 + 0], 0u);
}

// A picture drawn whole and the same picture drawn in column strips (as the
// rectangles of PresentRects arrive) give the same pixels at every factor:
// the strips reach into the target pixels they share with their neighbours.
TEST(FrameConverter, StripsDrawTheSamePixelsAsTheWholePicture) {
    constexpr int32_t width = 50;
    constexpr int32_t height = 30;
    std::vector<uint16_t> picture(width * height);
    for (size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<uint16_t>((i * 2654435761u) >> 17);
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(picture.data());
    const int32_t sizes[][2] = {{50, 30}, {80, 48}, {90, 54}, {100, 60}, {120, 72}, {35, 21}};
    for (const auto& size : sizes) {
        const int32_t placedWidth = size[0];
        const int32_t placedHeight = size[1];
        FrameConverter converter;
        ASSERT_TRUE(
            converter.Prepare(SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_RGB888, width, height));
        converter.SetPlacement(
            Placement{0, 0, placedWidth, placedHeight, placedWidth, placedHeight});
        std::vector<uint32_t> whole(placedWidth * placedHeight, 0);
        std::vector<uint32_t> strips(placedWidth * placedHeight, 0);
        int32_t written[4];
        converter.Draw(bytes, width * 2, 0, 0, width, height,
                       reinterpret_cast<uint8_t*>(whole.data()), placedWidth * 4, written);
        for (int32_t left = 0; left < width; left += 7) {
            const int32_t columns = std::min(7, width - left);
            converter.Draw(bytes, width * 2, left, 0, columns, height,
                           reinterpret_cast<uint8_t*>(strips.data()), placedWidth * 4, written);
        }
        EXPECT_EQ(whole, strips) << placedWidth << " x " << placedHeight;
    }
}
