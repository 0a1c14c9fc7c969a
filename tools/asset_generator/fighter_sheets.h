// The two fighters' animation sheets: cells of 48 x 48, five to a row, each frame
// posed from its character's pose table and painted facing right.
#pragma once

#include <cstdint>
#include <string>

#include "raster_image.h"
#include "skeleton.h"

inline constexpr int32_t kFighterCell = 48;
inline constexpr int32_t kFighterCellsPerRow = 5;
inline constexpr int32_t kTorvikFrames = 14;
inline constexpr int32_t kMelsarFrames = 10;
// Where blasts leave each fighter's hands, in cell pixels (unmirrored).
inline constexpr int32_t kTorvikLaunchX = 38;
inline constexpr int32_t kMelsarLaunchX = 32;
inline constexpr int32_t kLaunchY = 20;

// Builds a sheet into sheet (key everywhere but the art). Answers false, with the
// reason in error, when a pose meant to hold the hands at the launch point misses
// it or the art reaches the top-left pixel that carries the colour key.
bool BuildTorvikSheet(RasterImage& sheet, std::string& error);
bool BuildMelsarSheet(RasterImage& sheet, std::string& error);
