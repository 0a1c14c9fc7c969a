// The dirt tiles: one dirtSheetSide-square picture, cut by the game into 8 x 8
// tiles of 8 x 8 pixels and repeated over the whole field, so it wraps
// seamlessly both ways.
#pragma once

#include "raster_image.h"
#include "rules/art_layout.h"

RasterImage BuildDirtSheet();
