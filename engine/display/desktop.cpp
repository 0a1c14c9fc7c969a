// The desktop on SDL: the desktop mode of display 0 and the pointer's visibility.
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

void ShowCursor(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}
