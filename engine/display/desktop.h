// The desktop the program's window opens on: the primary display's size, the
// part of it windows may use, and whether the mouse pointer shows over the program's windows.
#pragma once

#include <cstdint>

struct DisplaySize {
    int32_t width = 0;
    int32_t height = 0;
};

// The primary display's size in pixels (the desktop mode); 0 x 0 when there is
// no display.
DisplaySize PrimaryDisplaySize();

// A rectangle of the desktop, in desktop pixels.
struct DisplayArea {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The part of the primary display that windows may use: the whole display
// less the panels and docks the desktop keeps for itself (the whole display
// when the desktop says nothing). Empty when there is no display.
DisplayArea UsableDisplayArea();

// Shows or hides the mouse pointer over the program's windows.
void ShowCursor(bool show);
