// The split-screen views drawn into an exactly sized 800 x 400 buffer: the tile
// grid under each camera, the divider, where fighters, blasts and reticles land,
// the hover bob, mirroring, and fields smaller than a view.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/game_view.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"
#include "tests/rules/world_fixture.h"

namespace {

constexpr int32_t surfaceWidth = 800;
constexpr int32_t surfaceHeight = 400;
constexpr uint16_t colourKey = 0x7C1F;
constexpr uint16_t blastInk = 0x03E0;  // the disc shapes' colour

// Dirt tile j is filled with one colour, so every pixel tells its cell's value.
uint16_t TileColour(int32_t value) {
    return static_cast<uint16_t>(0x4000 + value);
}
uint16_t FrameColour(int32_t frame) {
    return static_cast<uint16_t>(0x2000 + frame);
}
constexpr uint16_t reticleColour = 0x1234;

void Encode(RleSprite& sprite, int32_t w, int32_t h,
            const std::function<uint16_t(int32_t, int32_t)>& pixel) {
    std::vector<uint16_t> pixels;
    for (int32_t r = 0; r < h; ++r) {
        for (int32_t c = 0; c < w; ++c) {
            pixels.push_back(pixel(c, r));
        }
    }
    sprite.Bind(&screen, w, h);
    ASSERT_EQ(sprite.LoadFromPixels(pixels.data(), w, EncodingKeyed, colourKey), 1);
}

class GameViewTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        memory.assign(static_cast<size_t>(surfaceWidth) * surfaceHeight, 0);
        surface.width = surfaceWidth;
        surface.height = surfaceHeight;
        surface.pitch = surfaceWidth * 2;
        surface.pixels = memory.data();
        screen.backSurface = &surface;
        for (int32_t j = 0; j < dirtTileCount; ++j) {
            Encode(dirtTiles[j], 8, 8, [j](int32_t, int32_t) { return TileColour(j + 1); });
        }
        // Each frame is key but for its top-left pixel, so mirroring moves that
        // pixel to the top-right.
        for (int32_t f = 0; f < firstFighterFrameCount; ++f) {
            Encode(firstFighterFrames[f], 48, 48, [f](int32_t c, int32_t r) {
                return c == 0 && r == 0 ? FrameColour(f) : colourKey;
            });
        }
        for (int32_t f = 0; f < secondFighterFrameCount; ++f) {
            Encode(secondFighterFrames[f], 48, 48, [f](int32_t c, int32_t r) {
                return c == 0 && r == 0 ? FrameColour(0x100 + f) : colourKey;
            });
        }
        Encode(reticleSprite, 21, 21,
               [](int32_t c, int32_t r) { return c == 10 && r == 10 ? reticleColour : colourKey; });
        for (RleSprite& shape : blastSprites) {
            shape.screen = &screen;
        }
    }

    void TearDown() override {
        // The buffer is the test's own: the Screen must not free it.
        surface.pixels = nullptr;
        screen.backSurface = nullptr;
        for (RleSprite& shape : blastSprites) {
            shape.screen = nullptr;
        }
    }

    void DrawBothViews() {
        std::fill(memory.begin(), memory.end(), 0);
        DrawView(0);
        DrawView(1);
    }

    uint16_t At(int32_t x, int32_t y) const { return memory[y * surfaceWidth + x]; }

    // Puts both fighters and their reticles outside views whose cameras are at
    // the field's top-left and bottom-right.
    static void Park() {
        for (Fighter& f : fighters) {
            f.x = 3100;
            f.y = 0;
        }
    }

    std::vector<uint16_t> memory;
    Surface surface;
};

TEST_F(GameViewTest, TileGridFollowsEachCameraAndLeavesTheDividerBlack) {
    terrain.Generate(400, 400);
    terrain.cells[(5 + 1) * 400 + 9] = 0;  // one dug cell under the left view
    Park();
    // Sub-cell offsets in the left view, a whole-cell camera in the right one.
    fighters[0].cameraX = 45;
    fighters[0].cameraY = 3;
    fighters[1].cameraX = 2800;
    fighters[1].cameraY = 2800;
    DrawBothViews();

    for (int32_t v = 0; v < 2; ++v) {
        const int32_t left = v == 0 ? 0 : 401;
        for (int32_t sy = 0; sy < 399; ++sy) {
            for (int32_t sx = 0; sx < 399; ++sx) {
                const int32_t fx = sx + fighters[v].cameraX;
                const int32_t fy = sy + fighters[v].cameraY;
                const uint8_t cell = terrain.cells[(fy / 8) * 400 + fx / 8];
                const uint16_t expected = cell == 0 ? 0 : TileColour(cell);
                ASSERT_EQ(At(left + sx, sy), expected) << "view " << v << " at " << sx << "," << sy;
            }
        }
    }
    for (int32_t y = 0; y < 400; ++y) {
        EXPECT_EQ(At(399, y), 0);
        EXPECT_EQ(At(400, y), 0);
    }
    for (int32_t x = 0; x < surfaceWidth; ++x) {
        EXPECT_EQ(At(x, 399), 0);
    }
}

TEST_F(GameViewTest, FightersBobOnlyWhenIdleMirrorWhenFacingLeftAndShowInBothViews) {
    Fighter& first = Place(0, 1000, 1000);  // camera (824, 824): sprite at (176, 176)
    Fighter& second = Place(1, 1100, 1030);
    first.bobOffset = 5;
    second.bobOffset = -4;
    second.state = StateCharging;
    second.aim = 0;
    DrawBothViews();
    // The first fighter idles: its bob shows, and its idle cycle is on frame 0.
    EXPECT_EQ(At(176, 176 + 5), FrameColour(0));
    EXPECT_EQ(At(401 + 1000 - second.cameraX, 1000 - second.cameraY + 5), FrameColour(0));
    // The second charges: no bob, its charging frame, seen from both cameras.
    EXPECT_EQ(At(176 + 100, 176 + 30), FrameColour(0x100 + 6));
    EXPECT_EQ(At(401 + 176, 176), FrameColour(0x100 + 6));

    first.state = StateCharging;
    first.facing = 0;
    first.aim = 180;
    DrawBothViews();
    EXPECT_EQ(At(176, 176), 0);
    EXPECT_EQ(At(176 + 47, 176), FrameColour(10));
}

TEST_F(GameViewTest, BlastsAreCentredOnTheirPositionAndEachViewHasOnlyItsReticle) {
    Fighter& first = Place(0, 1000, 1000);
    Fighter& second = Place(1, 2000, 2000);
    first.aim = 0;
    second.aim = 0;
    AddBlast(1100, 1050, 0, 0);  // size 0 is drawn with entry 3, a disc of radius 7
    DrawBothViews();
    const int32_t bx = 1100 - first.cameraX;
    const int32_t by = 1050 - first.cameraY;
    EXPECT_EQ(At(bx, by), blastInk);
    EXPECT_EQ(At(bx + 7, by), blastInk);
    EXPECT_EQ(At(bx + 8, by), 0);
    EXPECT_EQ(At(bx - 8, by), 0);

    // The reticle's centre is 30 pixels along the aim from the launch point.
    const int32_t rx = first.ReticleX() + 10;
    const int32_t ry = first.ReticleY() + 10;
    EXPECT_EQ(rx, 176 + 38 + 30);
    EXPECT_EQ(ry, 176 + 20);
    EXPECT_EQ(At(rx, ry), reticleColour);
    EXPECT_EQ(At(401 + second.ReticleX() + 10, second.ReticleY() + 10), reticleColour);
    EXPECT_EQ(At(401 + rx, ry), 0);
    EXPECT_EQ(At(second.ReticleX() + 10, second.ReticleY() + 10), 0);
}

TEST_F(GameViewTest, FieldSmallerThanAViewIsDrawnFromItsEdge) {
    // A 20 x 12 cell field leaves the camera left of and above the field.
    terrain.Generate(20, 12);
    Fighter& first = Place(0, 8, 8);
    Place(1, 8, 8);
    ASSERT_LT(first.cameraX, 0);
    ASSERT_LT(first.cameraY, 0);
    first.x = 3000;  // off the views; the cameras stay
    fighters[1].x = 3000;
    DrawBothViews();
    // The camera keeps the field's right and bottom edges on the view's, so its
    // last visible pixel is field pixel (158, 94), in cell (19, 11).
    const int32_t ox = -first.cameraX;
    const int32_t oy = -first.cameraY;
    ASSERT_EQ(ox + 160, 400);
    ASSERT_EQ(oy + 96, 400);
    EXPECT_EQ(At(ox, oy), TileColour(1));
    EXPECT_EQ(At(ox + 158, 398), TileColour(3 + 8 * 3 + 1));
    EXPECT_EQ(At(401 + ox + 158, 398), TileColour(3 + 8 * 3 + 1));
    // Nothing left of or above the field.
    int32_t lit = 0;
    for (int32_t y = 0; y < 399; ++y) {
        for (int32_t x = 0; x < 399; ++x) {
            lit += (x < ox || y < oy) && At(x, y) != 0 ? 1 : 0;
        }
    }
    EXPECT_EQ(lit, 0);
}

}  // namespace
