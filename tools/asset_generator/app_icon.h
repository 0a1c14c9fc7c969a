// The application icon for desktops: the first fighter's standing frame,
// enlarged pixel for pixel onto a dark rounded tile, as PNG files, and the
// window's icon as a bitmap (appIconFile).
#pragma once

#include <cstdint>
#include <string>

#include "raster_image.h"

// The sizes desktops look for in the hicolor theme, in pixels.
inline constexpr int32_t appIconSizes[] = {32, 64, 128, 256};

// The file name of the icon of one size: kivoro_icon_SIZE.png.
std::string AppIconFileName(int32_t size);

// Writes one PNG per size of appIconSizes into folder, drawn from the first
// cell (cellSize pixels square) of the first fighter's sheet, and the
// appIconBitmapSide picture once more as the BMP appIconFile. False when a
// file cannot be written or the cell is empty.
bool WriteAppIcons(const RasterImage& firstFighterSheet, int32_t cellSize,
                   const std::string& folder);
