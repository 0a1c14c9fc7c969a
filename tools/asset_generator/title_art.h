// The title menu's title: the game's name in heavy letters charged with the
// blasts' ki, a blast ball on either side.
#pragma once

#include "raster_image.h"

// titleWidth x titleHeight (art_layout.h) on the colour key.
RasterImage BuildTitle();
