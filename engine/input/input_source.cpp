// The SDL keyboard and mouse sources and the tick counter.
#include "engine/input/input_source.h"

#include <SDL2/SDL.h>

#include "engine/input/scan_codes.h"

namespace {

// The window is in the foreground when SDL gives it the keyboard focus. Only the
// pointers are compared, so a window destroyed meanwhile is never dereferenced.
bool HasFocus(WindowHandle window) {
    return window != nullptr && SDL_GetKeyboardFocus() == window;
}

// SDL's keyboard exists once its video subsystem runs; binding never fails then.
// The focus arrives asynchronously after the window is shown, so it is checked at
// every read rather than demanded here.
bool AcquireKeyboard(void*, WindowHandle) {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

void UnacquireKeyboard(void*, WindowHandle) {}

// SDL keeps its key state current while events are pumped. SDL_PumpEvents only adds
// to the event queue, so the window's own pump still sees every message. Without the
// focus SDL has already released all keys; failing the read lets the caller clear its
// array too, so no key can stick across a focus change.
bool ReadKeyboard(void*, WindowHandle window, void* state, uint32_t size) {
    if (size != keyboardStateSize) {
        return false;
    }
    SDL_PumpEvents();
    if (!HasFocus(window)) {
        return false;
    }
    int count = 0;
    const uint8_t* sdlState = SDL_GetKeyboardState(&count);
    TranslateKeyboardState(sdlState, count, static_cast<uint8_t*>(state));
    return true;
}

// Relative mode is SDL's exclusive mouse: the pointer is hidden, kept inside the
// focused window and reports unbounded motion.
bool AcquireMouse(void*, WindowHandle) {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_SetRelativeMouseMode(SDL_TRUE) == 0;
}

void UnacquireMouse(void*, WindowHandle) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_SetRelativeMouseMode(SDL_FALSE);
    }
}

// SDL sums the motion between calls. A failed read still takes the sum, so motion
// made while the window was in the background never arrives as one jump later.
bool ReadMouse(void*, WindowHandle window, void* state, uint32_t size) {
    if (size != sizeof(MouseState)) {
        return false;
    }
    SDL_PumpEvents();
    int dx = 0;
    int dy = 0;
    const uint32_t buttons = SDL_GetRelativeMouseState(&dx, &dy);
    if (!HasFocus(window) || SDL_GetRelativeMouseMode() == SDL_FALSE) {
        return false;
    }
    MouseState* mouse = static_cast<MouseState*>(state);
    mouse->x = dx;
    mouse->y = dy;
    mouse->z = 0;
    mouse->buttons[0] = (buttons & SDL_BUTTON_LMASK) != 0 ? 0x80 : 0;
    mouse->buttons[1] = (buttons & SDL_BUTTON_RMASK) != 0 ? 0x80 : 0;
    mouse->buttons[2] = (buttons & SDL_BUTTON_MMASK) != 0 ? 0x80 : 0;
    mouse->buttons[3] = (buttons & SDL_BUTTON_X1MASK) != 0 ? 0x80 : 0;
    return true;
}

constexpr InputSource sdlKeyboard = {AcquireKeyboard, UnacquireKeyboard, ReadKeyboard, nullptr};
constexpr InputSource sdlMouse = {AcquireMouse, UnacquireMouse, ReadMouse, nullptr};

}  // namespace

const InputSource* SdlKeyboardSource() {
    return &sdlKeyboard;
}

const InputSource* SdlMouseSource() {
    return &sdlMouse;
}

uint32_t SdlTickCount() {
    return static_cast<uint32_t>(SDL_GetTicks64());
}
