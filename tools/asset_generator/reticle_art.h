// The aim reticle: one 21 x 21 picture centred on its pixel (10, 10).
#pragma once

#include <cstdint>

#include "raster_image.h"

inline constexpr int32_t kReticleSize = 21;

RasterImage BuildReticleSheet();
