// The records the Screen lists: one per display (DisplayDevice) and one per
// display mode (DisplayMode).
#pragma once

#include <cstdint>

// One SDL video display, in SDL's order. Index 0 is the primary display, the
// one an "empty" device reference means.
struct DisplayDevice {
    int32_t displayIndex = 0;
    char* description = nullptr;  // owned copy: the display's name
    char* name = nullptr;         // owned copy: the video driver's name
};

struct DisplayMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    char label[20] = {};  // "%i x %i x %i" of the three, NUL-terminated
};
