// The default window procedure, the display size query and cursor hiding.
#include "engine/display/window_messages.h"

#include <SDL.h>

#include "engine/display/app_window.h"

intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_CLOSE) {
        // Only a live window of ours is destroyed; a stale handle is ignored.
        AppWindow* owner = AppWindow::FromWindow(window);
        if (owner != nullptr) {
            owner->Destroy();
        }
    }
    return 0;
}

namespace {

bool DesktopSize(int32_t* width, int32_t* height) {
    *width = 0;
    *height = 0;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    SDL_DisplayMode mode;
    const bool found = SDL_GetDesktopDisplayMode(0, &mode) == 0;
    if (found) {
        *width = mode.w;
        *height = mode.h;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return found;
}

}  // namespace

int32_t PrimaryDisplayWidth() {
    int32_t width, height;
    DesktopSize(&width, &height);
    return width;
}

int32_t PrimaryDisplayHeight() {
    int32_t width, height;
    DesktopSize(&width, &height);
    return height;
}

void ShowCursor(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}
