// The desktop on SDL: the desktop mode and usable bounds of display 0 and the
// pointer's visibility.
#include "engine/display/desktop.h"

#include <SDL.h>

DisplaySize PrimaryDisplaySize() {
    // Display modes can only be read while SDL's video subsystem runs. SDL
    // counts its starts, so the start and quit here leave a window's own hold
    // on the subsystem alone, and cost a full start only before any window.
    DisplaySize size;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return size;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        size.width = mode.w;
        size.height = mode.h;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return size;
}

DisplayArea UsableDisplayArea() {
    DisplayArea area;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return area;
    }
    // On X11 SDL reads the window manager's work area (_NET_WORKAREA); without
    // a window manager it answers the whole display.
    SDL_Rect bounds{};
    if (SDL_GetDisplayUsableBounds(0, &bounds) == 0 || SDL_GetDisplayBounds(0, &bounds) == 0) {
        area = DisplayArea{bounds.x, bounds.y, bounds.w, bounds.h};
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return area;
}

void ShowCursor(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}
