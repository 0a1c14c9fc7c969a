// The keyboard and mouse as the InputDevice polls them: a device is bound to a
// window, then read once per frame into a fixed state format. The SDL sources are
// the ones the game runs on; tests hand the InputDevice their own to produce keys,
// motion and buttons that a headless run cannot.
#pragma once

#include <cstdint>

#include "engine/display/window_handle.h"

// The keyboard's state format: 256 bytes indexed by scan code, 0x80 while down.
inline constexpr uint32_t keyboardStateSize = 256;

// The mouse's state format: motion since the last read (x, y, wheel), then the
// button bytes, non-zero while held: left, right, middle and a fourth.
struct MouseState {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    uint8_t buttons[4] = {};
};

// Each operation receives the source's context, which the SDL sources leave empty and
// a scripted source may point at its own state.
struct InputSource {
    // Binds the device to the window; false when the platform refuses it.
    bool (*acquire)(void* context, WindowHandle window);
    // Lets the device go; the next read may fail until it is acquired again.
    void (*unacquire)(void* context, WindowHandle window);
    // Fills size bytes of state in the device's format. False when the device cannot
    // be read, above all while the window does not have the input focus.
    bool (*read)(void* context, WindowHandle window, void* state, uint32_t size);
    void* context = nullptr;
};

// The keyboard through SDL's key state, translated to scan codes. Reads only while
// the window has the keyboard focus.
const InputSource* SdlKeyboardSource();

// The mouse through SDL's relative mode, which hides and captures the pointer while
// the window has the focus. Reads only while it does.
const InputSource* SdlMouseSource();

// Milliseconds since SDL started, wrapping at 2^32.
uint32_t SdlTickCount();
