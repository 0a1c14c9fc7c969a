// The dirt tiles: one 64 x 64 picture, cut by the game into 8 x 8 tiles of 8 x 8
// pixels and repeated over the whole field, so it wraps seamlessly both ways.
#pragma once

#include <cstdint>

#include "raster_image.h"

inline constexpr int32_t kDirtSize = 64;

RasterImage BuildDirtSheet();
