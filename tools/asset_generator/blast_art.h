// The blast sheet: seven cells in one row, each picture a disc of its entry's
// blastShapeRadius centred on the cell's pixel (blastCentre, blastCentre).
// Entries 0-3 double as the shapes carved into the terrain (one cell per pixel);
// entries 3-6 are the glowing balls drawn in flight.
#pragma once

#include "raster_image.h"
#include "rules/art_layout.h"

RasterImage BuildBlastSheet();
