// The contact sheet: every frame, blast and tile at four times their size on a
// neutral grey, plus the art tried over dirt and tunnels, for review by eye.
#pragma once

#include <string>

#include "raster_image.h"

struct AssetSheets {
    const RasterImage& torvik;
    const RasterImage& melsar;
    const RasterImage& blast;
    const RasterImage& dirt;
    const RasterImage& reticle;
};

// Writes the contact sheet as a PNG file; false when it cannot be written.
bool WriteContactSheet(const AssetSheets& sheets, const std::string& path);
