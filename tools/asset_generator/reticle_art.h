// The aim reticle: one reticleSide-square picture centred on its pixel
// (reticleCentre, reticleCentre).
#pragma once

#include "raster_image.h"
#include "rules/art_layout.h"

RasterImage BuildReticleSheet();
