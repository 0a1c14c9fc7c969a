// The blast sheet: seven 54 x 54 cells in one row, each picture centred on the
// cell's pixel (26, 26). Entries 0-3 double as the shapes carved into the
// terrain (one cell per pixel); entries 3-6 are the glowing balls drawn in flight.
#pragma once

#include <array>
#include <cstdint>

#include "raster_image.h"

inline constexpr int32_t kBlastCell = 54;
inline constexpr int32_t kBlastCentre = 26;
inline constexpr int32_t kBlastEntries = 7;
// Radius of each entry in pixels: small discs for the narrow tunnels, then the
// four drawn sizes, each as wide as its blast's hit reach.
inline constexpr std::array<double, kBlastEntries> kBlastRadius{3, 4, 5, 7, 12, 19, 28};

RasterImage BuildBlastSheet();
