// MaskedBlit: draws a Surface onto another through the source's opacity mask,
// copying the mask's opaque runs and blending the others by their opacity.
#pragma once

#include <cstdint>

class Surface;

// Draws `source` with its top-left pixel at (x, y) of `destination`, cut to the
// destination's size and clip rectangle (right and bottom exclusive). Only the
// pixels inside the runs of the source's opacity mask are drawn; opacity a
// makes each channel (a * source + (255 - a) * destination + 127) / 255, so 255
// copies. A mask whose runs are not current, or whose Surface has MaskEncoded
// clear, is encoded first with Surface::EncodeOpacityMask. The surfaces must be
// two different 16-bit surfaces in one pixel layout with their pixels at hand
// (locked, or kind 6). False, drawing nothing, when any of that fails or the
// source has no mask.
bool MaskedBlit(Surface* source, Surface* destination, int32_t x, int32_t y);
