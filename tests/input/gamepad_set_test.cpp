// GamePadSet on SDL's virtual joysticks: pads taken in the order they come,
// their buttons and stick read by position, pads plugged in and pulled out
// between polls, and rumble only on pads that have motors.
#include "engine/input/gamepad_set.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "tests/input/virtual_pad.h"

namespace {

int32_t Taken(const GamePadSet& pads) {
    int32_t count = 0;
    for (const PadState& pad : pads.pads) {
        count += pad.serial != 0 ? 1 : 0;
    }
    return count;
}

TEST_F(PadTest, PadsPresentAtOpenAreTakenInOrderAndReadByPosition) {
    GamePadSet pads;
    VirtualPad first;
    VirtualPad second;
    ASSERT_EQ(pads.Open(), GamePadResultOk);
    ASSERT_EQ(Taken(pads), 2);
    EXPECT_LT(pads.pads[0].serial, pads.pads[1].serial);

    first.Press(SDL_CONTROLLER_BUTTON_A);
    first.Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    first.Tilt(SDL_CONTROLLER_AXIS_LEFTX, -20000);
    second.Press(SDL_CONTROLLER_BUTTON_START);
    second.Press(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
    second.Tilt(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    pads.Update();
    EXPECT_EQ(pads.pads[0].buttons, PadButtonA | PadButtonDpadLeft);
    EXPECT_EQ(pads.pads[0].leftX, -20000);
    EXPECT_EQ(pads.pads[0].leftY, 0);
    EXPECT_EQ(pads.pads[1].buttons, PadButtonStart | PadButtonRightShoulder);
    EXPECT_EQ(pads.pads[1].leftY, 32767);

    first.Release(SDL_CONTROLLER_BUTTON_A);
    pads.Update();
    EXPECT_EQ(pads.pads[0].buttons, uint32_t{PadButtonDpadLeft});
}

TEST_F(PadTest, PadsPluggedInAndPulledOutBetweenPollsComeAndGo) {
    GamePadSet pads;
    ASSERT_EQ(pads.Open(), GamePadResultOk);
    EXPECT_EQ(Taken(pads), 0);
    pads.Update();

    auto pad = std::make_unique<VirtualPad>();
    pads.Update();
    ASSERT_EQ(Taken(pads), 1);
    const uint32_t serial = pads.pads[0].serial;
    pad->Press(SDL_CONTROLLER_BUTTON_B);
    pad->Tilt(SDL_CONTROLLER_AXIS_LEFTX, 30000);
    pads.Update();
    EXPECT_EQ(pads.pads[0].buttons, uint32_t{PadButtonB});

    // Pulled out while held: the slot empties, nothing stays held.
    pad.reset();
    pads.Update();
    EXPECT_EQ(Taken(pads), 0);
    EXPECT_EQ(pads.pads[0].buttons, 0u);
    EXPECT_EQ(pads.pads[0].leftX, 0);

    // The same kind of pad again is a new pad, with a new serial.
    VirtualPad again;
    pads.Update();
    ASSERT_EQ(Taken(pads), 1);
    EXPECT_GT(pads.pads[0].serial, serial);
}

TEST_F(PadTest, OnlyGameControllersAreTakenAndOnlyAsManyAsThereAreSlots) {
    GamePadSet pads;
    ASSERT_EQ(pads.Open(), GamePadResultOk);
    const int wheel = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_WHEEL, 1, 0, 0);
    ASSERT_GE(wheel, 0) << SDL_GetError();
    const SDL_JoystickID wheelId = SDL_JoystickGetDeviceInstanceID(wheel);
    pads.Update();
    EXPECT_EQ(Taken(pads), 0);

    VirtualPad many[GamePadSet::maxPads + 1];
    pads.Update();
    EXPECT_EQ(Taken(pads), GamePadSet::maxPads);
    // A slot freed takes the pad that found none.
    many[0].Unplug();
    pads.Update();
    EXPECT_EQ(Taken(pads), GamePadSet::maxPads);
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == wheelId) {
            SDL_JoystickDetachVirtual(index);
        }
    }
}

TEST_F(PadTest, RumbleOnlyWherePadsHaveMotors) {
    GamePadSet pads;
    VirtualPad plain(false);
    VirtualPad shaking(true);
    ASSERT_EQ(pads.Open(), GamePadResultOk);
    ASSERT_EQ(Taken(pads), 2);
    EXPECT_FALSE(pads.CanRumble(0));
    EXPECT_FALSE(pads.Rumble(0, 0xC000, 200));
    EXPECT_TRUE(pads.CanRumble(1));
    EXPECT_TRUE(pads.Rumble(1, 0xC000, 200));
    EXPECT_EQ(shaking.rumbles, 1);
    EXPECT_EQ(shaking.lastLow, 0xC000);
    EXPECT_EQ(pads.rumbleCount, 1);
    // Slots without a pad, and slots out of range.
    EXPECT_FALSE(pads.Rumble(2, 0xC000, 200));
    EXPECT_FALSE(pads.Rumble(-1, 0xC000, 200));
    EXPECT_FALSE(pads.Rumble(GamePadSet::maxPads, 0xC000, 200));
}

TEST_F(PadTest, CloseGivesBackTheSubsystemAndEmptiesTheSlots) {
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    ASSERT_EQ(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
    {
        GamePadSet pads;
        EXPECT_EQ(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
        ASSERT_EQ(pads.Open(), GamePadResultOk);
        EXPECT_NE(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
        ASSERT_EQ(pads.Open(), GamePadResultOk);  // again: the first hold is given back
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

}  // namespace
