// The numbers the art and the game must agree on, in one header both include:
// sheet cell sizes and frame counts, the blast pictures' centre and radii, and
// where blasts leave the fighters' hands.
#pragma once

#include <cstdint>

// The asset generator draws to these numbers, and refuses a fighter sheet whose
// hands miss the launch point; the game cuts, centres, carves and launches by
// them; the asset tests check the generated files against them. Header only,
// so the generator needs no game library.

// BLAST.BMP: one row of seven 54 x 54 cells, each picture centred on its cell's
// pixel (26, 26). A blast's position is that pixel when it is drawn, and a
// carve puts that pixel of the shape on the cell it is given.
inline constexpr int32_t blastSpriteSide = 54;
inline constexpr int32_t blastCentre = 26;
inline constexpr int32_t blastSpriteCount = 7;
// Each entry is a disc of this radius in pixels about the centre. Entries 0-3
// are the shapes carved into the terrain (one cell per pixel), entries 3-6 the
// pictures drawn in flight, each as wide as its blast's hit reach, and entry 4
// is also the crater opened around every spawn point.
inline constexpr int32_t blastShapeRadius[blastSpriteCount] = {3, 4, 5, 7, 12, 19, 28};
inline constexpr int32_t spawnCraterSprite = 4;

// TORVIK.BMP (first fighter) and MELSAR.BMP (second): 48 x 48 frames, five to a
// row, in the order of the fighters' state-to-frame tables.
inline constexpr int32_t fighterSize = 48;
inline constexpr int32_t fighterSheetColumns = 5;
inline constexpr int32_t firstFighterFrameCount = 14;
inline constexpr int32_t secondFighterFrameCount = 10;

// Where a blast leaves the hands, in pixels of the unmirrored frame; a fighter
// facing left launches from the mirrored point, fighterSize - x.
struct LaunchPoint {
    int32_t x;
    int32_t y;
};
inline constexpr LaunchPoint firstLaunchPoint{38, 20};
inline constexpr LaunchPoint secondLaunchPoint{32, 20};

// DIRT.BMP: one seamless picture cut into 8 x 8 tiles, eight to a row and eight
// rows; tile j is the one at column j mod 8, row j div 8.
inline constexpr int32_t dirtTileSide = 8;
inline constexpr int32_t dirtSheetColumns = 8;
inline constexpr int32_t dirtTileCount = dirtSheetColumns * dirtSheetColumns;
inline constexpr int32_t dirtSheetSide = dirtTileSide * dirtSheetColumns;

// TARGET.BMP: one 21 x 21 reticle centred on its pixel (10, 10).
inline constexpr int32_t reticleSide = 21;
inline constexpr int32_t reticleCentre = reticleSide / 2;

// TITLE.BMP: the title menu's title, one picture of this size on the colour
// key. The rules never read it.
inline constexpr int32_t titleWidth = 560;
inline constexpr int32_t titleHeight = 130;

// kivoro_icon.bmp: the window's icon, the desktop icon's picture of this side
// as a 32-bit bitmap with alpha, which SDL reads without an image library.
inline constexpr const char* appIconFile = "kivoro_icon.bmp";
inline constexpr int32_t appIconBitmapSide = 64;
