// The aim reticle: one reticleSide-square picture centred on its pixel
// (reticleCentre, reticleCentre).
#pragma once

#include "rules/art_layout.h"
#include "raster_image.h"

RasterImage BuildReticleSheet();
