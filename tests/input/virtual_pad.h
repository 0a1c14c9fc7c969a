// A pad for tests: one of SDL's virtual joysticks that SDL takes for a game
// controller, with a button and an axis for each of the game controller's,
// in their order, and motors or none.
#pragma once

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

class VirtualPad {
public:
    explicit VirtualPad(bool withMotors = false) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Kivoro test pad";
        desc.userdata = this;
        if (withMotors) {
            desc.Rumble = [](void* self, Uint16 low, Uint16 high) {
                auto* pad = static_cast<VirtualPad*>(self);
                ++pad->rumbles;
                pad->lastLow = low;
                pad->lastHigh = high;
                return 0;
            };
        }
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        instance = SDL_JoystickGetDeviceInstanceID(index);
        joystick = SDL_JoystickOpen(index);
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
    }
    ~VirtualPad() { Unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void Press(SDL_GameControllerButton button, bool down = true) {
        SDL_JoystickSetVirtualButton(joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
    }
    void Release(SDL_GameControllerButton button) { Press(button, false); }
    void Tilt(SDL_GameControllerAxis axis, int16_t value) {
        SDL_JoystickSetVirtualAxis(joystick, axis, value);
    }

    // Pulls the pad out: SDL finds it by its place in the device list, which
    // moves as other pads come and go, so it is looked up by instance.
    void Unplug() {
        if (joystick == nullptr) {
            return;
        }
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == instance) {
                SDL_JoystickDetachVirtual(index);
                return;
            }
        }
    }

    SDL_JoystickID instance = -1;
    SDL_Joystick* joystick = nullptr;
    int rumbles = 0;
    Uint16 lastLow = 0;
    Uint16 lastHigh = 0;
};

// Pads are read while the program has no window in front: SDL otherwise drops
// their input while no window of the program has the keyboard focus.
class PadTest : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER); }
};
