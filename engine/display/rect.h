// Rect: the engine's rectangle of four signed edges. Whether right and bottom
// are inclusive depends on the user: the sprite draws take them as inclusive,
// the engine's own blits and fills as exclusive.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
