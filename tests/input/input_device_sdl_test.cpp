// The InputDevice on SDL's dummy video driver: what Init sets up and gives back, the
// first joystick through SDL's virtual joysticks, and the SDL keyboard's focus rule.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/display/app_window.h"
#include "engine/display/screen.h"
#include "engine/input/input_device.h"
#include "engine/input/scan_codes.h"

namespace {

class OnSdl : public ::testing::Test {
protected:
    void SetUp() override {
        // The dummy window never gets the focus; let joystick input through anyway.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        window = SDL_CreateWindow("input", 0, 0, 64, 64, 0);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        for (const int index : virtualJoysticks) {
            SDL_JoystickDetachVirtual(index);
        }
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK);
    }

    int AttachJoystick(int axes, int buttons) {
        const int index =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, axes, buttons, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        virtualJoysticks.push_back(index);
        return index;
    }

    SDL_Window* window = nullptr;
    std::vector<int> virtualJoysticks;
};

TEST_F(OnSdl, ConstructionLeavesSdlAloneAndDestructionGivesBackWhatInitTook) {
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    ASSERT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
    {
        InputDevice input;
        EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
        EXPECT_EQ(input.doubleClickTime, 300u);
        EXPECT_EQ(input.Init(nullptr, window), InputResultOk);
        EXPECT_NE(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
        EXPECT_EQ(input.Init(nullptr, window), InputResultOk);  // again: nothing leaks
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);  // the test's own hold remains
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
}

TEST_F(OnSdl, WithoutJoystickInitSucceedsAndUpdateLeavesTheJoystickFields) {
    ASSERT_EQ(SDL_NumJoysticks(), 0);
    InputDevice input;
    EXPECT_EQ(input.Init(nullptr, window), InputResultOk);
    EXPECT_TRUE(input.keyboardActive);
    EXPECT_FALSE(input.joystickActive);
    EXPECT_EQ(input.joystickDevice, nullptr);
    EXPECT_EQ(input.foundJoystick, nullptr);
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    EXPECT_EQ(input.clipRect.right, desktop.w);
    EXPECT_EQ(input.clipRect.bottom, desktop.h);

    input.joystickX = 77;
    input.joystickY = -77;
    input.joystickButton1 = true;
    input.Update();
    EXPECT_EQ(input.joystickX, 77);
    EXPECT_EQ(input.joystickY, -77);
    EXPECT_TRUE(input.joystickButton1);
}

TEST_F(OnSdl, JoystickAxesAreScaledWithADeadZone) {
    const int index = AttachJoystick(2, 2);
    InputDevice input;
    ASSERT_EQ(input.Init(nullptr, window), InputResultOk);
    ASSERT_TRUE(input.joystickActive);
    SDL_Joystick* stick = input.joystickDevice;

    const std::pair<int16_t, int32_t> readings[] = {
        {0, 0},       {3276, 0},      {-3276, 0},    {3300, 0},       {3306, 1},
        {18022, 500}, {-18022, -500}, {32767, 1000}, {-32768, -1000},
    };
    for (const auto& [raw, scaled] : readings) {
        SDL_JoystickSetVirtualAxis(stick, 0, raw);
        SDL_JoystickSetVirtualAxis(stick, 1, static_cast<int16_t>(raw == -32768 ? 32767 : -raw));
        input.Update();
        EXPECT_EQ(input.joystickX, scaled) << raw;
        EXPECT_EQ(input.joystickY, -scaled) << raw;
    }
    SDL_JoystickSetVirtualButton(stick, 1, SDL_PRESSED);
    input.Update();
    EXPECT_FALSE(input.joystickButton1);
    EXPECT_TRUE(input.joystickButton2);

    // Unplugged: the read fails and counts as a centred stick with nothing held.
    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    input.Update();
    SDL_JoystickDetachVirtual(index);
    virtualJoysticks.clear();
    input.Update();
    EXPECT_EQ(input.joystickX, 0);
    EXPECT_FALSE(input.joystickButton2);
}

TEST_F(OnSdl, JoystickWithoutTwoAxesIsLeftInactive) {
    AttachJoystick(1, 2);
    InputDevice input;
    EXPECT_EQ(input.Init(nullptr, window), InputResultJoystickAxes);
    EXPECT_FALSE(input.joystickActive);
    EXPECT_TRUE(input.keyboardActive);
    input.Update();
    EXPECT_EQ(input.joystickX, 0);
}

TEST_F(OnSdl, InitForWindowBindsTheAppWindowsHandles) {
    AppWindow appWindow;
    int owner = 0;
    ASSERT_TRUE(appWindow.CreateWithProc("InputTest", &owner, DefaultWindowProc,
                                         static_cast<int32_t>(0x80000000u), 0, 0, 32, 32));
    InputDevice input;
    EXPECT_EQ(input.InitForWindow(&appWindow), InputResultOk);
    EXPECT_EQ(input.window, appWindow.window);
    EXPECT_EQ(input.instance, &owner);

    InputDevice unbound;
    EXPECT_EQ(unbound.InitForWindow(nullptr), InputResultOk);
    unbound.Update();
    EXPECT_EQ(unbound.keys[ScanCodeSpace], 0);
}

// The dummy driver never gives a window the focus, so SDL's keyboard must refuse to
// read even when SDL's own state says a key is down.
TEST_F(OnSdl, SdlKeyboardReadsOnlyForTheFocusedWindow) {
    const InputSource* keyboard = SdlKeyboardSource();
    ASSERT_NE(SDL_GetKeyboardFocus(), window);
    uint8_t keys[keyboardStateSize];
    EXPECT_FALSE(keyboard->read(nullptr, window, keys, sizeof keys));
    EXPECT_FALSE(keyboard->read(nullptr, nullptr, keys, sizeof keys));
    EXPECT_FALSE(keyboard->read(nullptr, window, keys, sizeof keys - 1));

    MouseState mouse;
    EXPECT_FALSE(SdlMouseSource()->read(nullptr, window, &mouse, sizeof mouse));
}

TEST_F(OnSdl, MouseClipFollowsTheScreensFrontSurface) {
    InputDevice input;
    input.SetMouseClip(5, 6, 7, 8);
    input.SetMouseClipToScreen(nullptr);
    Screen screen;
    input.SetMouseClipToScreen(&screen);  // no surfaces yet
    EXPECT_EQ(input.clipRect.left, 5);
    EXPECT_EQ(input.clipRect.bottom, 8);

    ASSERT_EQ(screen.SetMemoryMode(320, 200), 0);
    input.SetMouseClipToScreen(&screen);
    EXPECT_EQ(input.clipRect.left, 0);
    EXPECT_EQ(input.clipRect.top, 0);
    EXPECT_EQ(input.clipRect.right, 320);
    EXPECT_EQ(input.clipRect.bottom, 200);
}

TEST_F(OnSdl, ThereIsNoControlPanel) {
    InputDevice input;
    EXPECT_EQ(input.RunMouseControlPanel(window), InputResultNoControlPanel);
    EXPECT_EQ(input.RunJoystickControlPanel(window), InputResultNoControlPanel);
    EXPECT_NE(InputResultNoControlPanel, InputResultOk);
}

}  // namespace
