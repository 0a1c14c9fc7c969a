// The desktop the program's window opens on: the primary display's size and
// whether the mouse pointer shows over the program's windows.
#pragma once

#include <cstdint>

struct DisplaySize {
    int32_t width = 0;
    int32_t height = 0;
};

// The primary display's size in pixels (the desktop mode); 0 x 0 when there is
// no display.
DisplaySize PrimaryDisplaySize();

// Shows or hides the mouse pointer over the program's windows.
void ShowCursor(bool show);
