// Stand-ins for the keyboard, the mouse and the tick counter, scripted by the tests
// through plain globals (the sources are function pointers without context).
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/input/input_device.h"

struct FakeInput {
    static inline bool focused = true;
    static inline int acquireCount = 0;
    static inline uint8_t keys[256] = {};
    static inline MouseState mouse;
    static inline uint32_t now = 0;

    static void Reset() {
        focused = true;
        acquireCount = 0;
        std::memset(keys, 0, sizeof keys);
        mouse = MouseState{};
        now = 0;
    }

    static bool Acquire(void*, WindowHandle) {
        ++acquireCount;
        return true;
    }
    static void Unacquire(void*, WindowHandle) {}
    // The keyboard reads the array its context names.
    static bool ReadKeys(void* context, WindowHandle, void* state, uint32_t size) {
        if (!focused || size != sizeof keys) {
            return false;
        }
        std::memcpy(state, context, size);
        return true;
    }
    // Motion is consumed by the read, as the platform's relative motion is.
    static bool ReadMouse(void*, WindowHandle, void* state, uint32_t size) {
        if (!focused || size != sizeof(MouseState)) {
            return false;
        }
        std::memcpy(state, &mouse, size);
        mouse.x = 0;
        mouse.y = 0;
        return true;
    }
    static uint32_t Ticks() { return now; }

    static inline const InputSource keyboardSource = {Acquire, Unacquire, ReadKeys, keys};
    static inline const InputSource mouseSource = {Acquire, Unacquire, ReadMouse, nullptr};

    // An InputDevice polling the fakes, as Init would leave it with real devices.
    static void Attach(InputDevice& input) {
        Reset();
        input.keyboardDevice = &keyboardSource;
        input.mouseDevice = &mouseSource;
        input.tickCount = Ticks;
        input.SetActiveDevices(true, true, false);
    }
};
