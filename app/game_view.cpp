// The split-screen views and the status panel beneath them. Screen layout:
// view 0 covers columns 0..398, view 1 columns 401..799, both rows 0..398;
// columns 399 and 400 and row 399 are left black as the divider.
#include "app/game_view.h"

#include <algorithm>
#include <cstdio>

#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"

namespace {

constexpr uint32_t textWhite = 0xFFFFFF;
constexpr int32_t viewTiles = viewSize / cellPixels;
static_assert(dirtTileSide == cellPixels, "every terrain cell shows one whole dirt tile");

void DrawTerrain(int32_t cameraX, int32_t cameraY, int32_t left) {
    // One more column or row when the camera is not on a tile boundary.
    const int32_t columns = viewTiles + (cameraX % cellPixels != 0 ? 1 : 0);
    const int32_t rows = viewTiles + (cameraY % cellPixels != 0 ? 1 : 0);
    const int32_t lastColumn = std::min(cameraX / cellPixels + columns, terrain.width);
    const int32_t lastRow = std::min(cameraY / cellPixels + rows, terrain.height);
    // A field narrower or shorter than a view puts the camera left of or above
    // it; the cells start at the grid's edge all the same.
    const int32_t firstColumn = std::max(cameraX / cellPixels, 0);
    const int32_t firstRow = std::max(cameraY / cellPixels, 0);
    int32_t screenY = firstRow * cellPixels - cameraY;
    for (int32_t row = firstRow; row < lastRow; ++row, screenY += cellPixels) {
        const uint8_t* cell = terrain.cells + row * terrain.width + firstColumn;
        int32_t screenX = firstColumn * cellPixels - cameraX + left;
        for (int32_t column = firstColumn; column < lastColumn;
             ++column, ++cell, screenX += cellPixels) {
            // Cell values 1..64 name the tile; 0 is dug out and shows the black fill.
            if (*cell != 0 && *cell <= dirtTileCount) {
                dirtTiles[*cell - 1].Draw(screenX, screenY);
            }
        }
    }
}

void DrawFighter(Fighter& fighter, RleSprite* frames, int32_t frameCount, int32_t cameraX,
                 int32_t cameraY, int32_t left) {
    // The hover bob shows only while the fighter idles.
    const int32_t bob = fighter.state == StateIdle ? fighter.bobOffset : 0;
    const int32_t x = fighter.x - cameraX + left;
    const int32_t y = fighter.y - cameraY + bob;
    const uint8_t frame = fighter.CurrentFrame();
    if (frame >= frameCount) {
        return;
    }
    if (fighter.facing != 0) {
        frames[frame].Draw(x, y);
    } else {
        frames[frame].DrawMirrored(x, y);
    }
}

// Blasts whose picture lies wholly outside the view are passed over here, before
// the sprite's draw sets anything up: with many in flight, most are in the other
// fighter's view.
void DrawBlasts(int32_t cameraX, int32_t cameraY, int32_t left) {
    const Rect view = screen.clip;
    for (int32_t i = 0; i < blastCount; ++i) {
        const KiBlast& blast = blasts[i];
        if (blast.size >= blastSizeCount) {
            continue;
        }
        // The picture's centre pixel goes on the blast's position.
        const int32_t x = blast.x - cameraX + left - blastCentre;
        const int32_t y = blast.y - cameraY - blastCentre;
        if (x > view.right || y > view.bottom || x + blastSpriteSide <= view.left ||
            y + blastSpriteSide <= view.top) {
            continue;
        }
        blastSprites[blastSpriteTable.drawSprite[blast.size]].Draw(x, y);
    }
}

void DrawLabelledNumber(Surface* surface, const char* label, int32_t x, int32_t valueX, int32_t y,
                        int32_t value) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", value);
    surface->DrawText(label, x, y, textWhite);
    surface->DrawText(number, valueX, y, textWhite);
}

}  // namespace

void DrawView(int32_t v) {
    if (v < 0 || v >= fighterCount) {
        return;
    }
    screen.clip = viewClips[v];
    const int32_t left = screen.clip.left;
    const int32_t cameraX = fighters[v].cameraX;
    const int32_t cameraY = fighters[v].cameraY;

    DrawTerrain(cameraX, cameraY, left);
    DrawFighter(fighters[0], firstFighterFrames, firstFighterFrameCount, cameraX, cameraY, left);
    DrawFighter(fighters[1], secondFighterFrames, secondFighterFrameCount, cameraX, cameraY, left);
    DrawBlasts(cameraX, cameraY, left);
    reticleSprite.Draw(fighters[v].ReticleX() + left, fighters[v].ReticleY());
}

void DrawStatusPanel() {
    Surface* surface = screen.backSurface;
    if (surface == nullptr) {
        return;
    }
    // A player's kills are the other fighter's deaths.
    for (int32_t player = 0; player < fighterCount; ++player) {
        const int32_t x = player == 0 ? 25 : 424;
        const Fighter& own = fighters[player];
        const Fighter& other = fighters[1 - player];
        DrawLabelledNumber(surface, "Health: ", x, x + 75, 400, own.health);
        DrawLabelledNumber(surface, "Ki: ", x, x + 75, 450, own.ki);
        DrawLabelledNumber(surface, "Kills: ", x, x + 75, 500, other.deaths);
    }
    screen.DrawFrameRate(surface, 400, 550);
}

void DrawViews() {
    Surface* surface = screen.backSurface;
    if (surface == nullptr) {
        return;
    }
    surface->Fill(0);
    // The sprites write straight into the surface's memory, which is only there
    // while it is locked.
    if (surface->Lock() == 0) {
        DrawView(0);
        DrawView(1);
        surface->Unlock();
    }
}

void DrawFrame() {
    DrawViews();
    DrawStatusPanel();
}
