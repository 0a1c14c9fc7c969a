// Where everything sits on the game's picture: 800 x 600 at 16 bits per pixel,
// two 399 x 399 views side by side over the status panel. Columns 399 and 400
// and row 399 stay black as the divider. Everything that draws on the picture
// or sizes a window for it takes its numbers from here.
#pragma once

#include <cstdint>

#include "engine/display/rect.h"
#include "rules/fighter.h"

inline constexpr int32_t pictureWidth = 800;
inline constexpr int32_t pictureHeight = 600;
inline constexpr int32_t pictureBits = 16;

// The whole picture, as an inclusive clip rectangle.
inline constexpr Rect pictureClip = {0, 0, pictureWidth - 1, pictureHeight - 1};
// Inclusive clip rectangles of the two views: one pixel short of the camera's
// 400 x 400 on the inner side and at the bottom, for the divider.
inline constexpr Rect viewClips[2] = {{0, 0, viewSize - 2, viewSize - 2},
                                      {viewSize + 1, 0, pictureWidth - 1, viewSize - 2}};
inline constexpr int32_t viewRows = viewSize - 1;  // rows 0..398 hold the views
inline constexpr int32_t panelTop = viewSize - 1;  // the divider row, and the panel below it
inline constexpr int32_t panelTextTop = viewSize;  // the panel's first row of text
// The panel's free corner, right of its texts (which keep to the left of it).
inline constexpr int32_t panelCornerLeft = 600;

static_assert(viewClips[1].right - viewClips[1].left == viewClips[0].right - viewClips[0].left,
              "the two views are as wide as each other");
