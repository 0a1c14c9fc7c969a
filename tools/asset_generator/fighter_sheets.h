// The two fighters' animation sheets: cells of 48 x 48, five to a row, each frame
// posed from its character's pose table and painted facing right.
#pragma once

#include <string>

#include "raster_image.h"
#include "rules/art_layout.h"
#include "skeleton.h"

// Builds a sheet into sheet (key everywhere but the art). Answers false, with the
// reason in error, when a pose meant to hold the hands at the fighter's launch
// point (firstLaunchPoint, secondLaunchPoint) misses it or the art reaches the
// top-left pixel that carries the colour key.
bool BuildTorvikSheet(RasterImage& sheet, std::string& error);
bool BuildMelsarSheet(RasterImage& sheet, std::string& error);
