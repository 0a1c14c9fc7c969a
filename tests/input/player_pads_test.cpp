// Pads as the players use them, on SDL's virtual joysticks: buttons and the
// stick to control bytes with the dead zone and diagonals, two pads at once,
// pads plugged in and pulled out mid-game without stuck input, a pad and the
// keys on one player, Start, and rumble when a player is hit.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/player_input.h"
#include "engine/input/gamepad_set.h"
#include "engine/input/scan_codes.h"
#include "rules/fighter.h"
#include "tests/input/virtual_pad.h"

namespace {

class PlayerPads : public PadTest {
protected:
    void SetUp() override {
        PadTest::SetUp();
        ASSERT_EQ(pads.Open(), GamePadResultOk);
    }
    void TearDown() override {
        pads.Close();
        PadTest::TearDown();
    }

    // One frame: the pads polled, then both players read.
    PlayerInput::Frame Frame() {
        pads.Update();
        return input.Read(keys, pads);
    }

    GamePadSet pads;
    PlayerInput input;
    uint8_t keys[256] = {};
};

TEST(PadControls, ButtonsStickDeadZoneAndDiagonals) {
    PadState pad;
    pad.serial = 1;
    EXPECT_EQ(ControlsFromPad(pad), 0);
    const struct {
        uint32_t button;
        uint8_t control;
    } buttons[] = {
        {PadButtonDpadUp, ControlUp},
        {PadButtonDpadDown, ControlDown},
        {PadButtonDpadLeft, ControlLeft},
        {PadButtonDpadRight, ControlRight},
        {PadButtonA, ControlCharge},
        {PadButtonB, ControlTurn},
        {PadButtonLeftShoulder, ControlTurn},
        {PadButtonRightShoulder, ControlTurn},
        {PadButtonX, 0},
        {PadButtonY, 0},
        {PadButtonStart, 0},
        {PadButtonBack, 0},
    };
    for (const auto& entry : buttons) {
        pad.buttons = entry.button;
        EXPECT_EQ(ControlsFromPad(pad), entry.control) << entry.button;
    }
    pad.buttons = 0;
    // A quarter of the travel is the dead zone: 8191 is nothing, 8192 counts.
    for (const int16_t inside : {1000, 8191, -8191}) {
        pad.leftX = inside;
        pad.leftY = inside;
        EXPECT_EQ(ControlsFromPad(pad), 0) << inside;
    }
    pad.leftX = 8192;
    pad.leftY = 0;
    EXPECT_EQ(ControlsFromPad(pad), ControlRight);
    pad.leftX = -32768;
    EXPECT_EQ(ControlsFromPad(pad), ControlLeft);
    pad.leftX = 0;
    pad.leftY = -9000;
    EXPECT_EQ(ControlsFromPad(pad), ControlUp);
    pad.leftY = 32767;
    EXPECT_EQ(ControlsFromPad(pad), ControlDown);
    // Held diagonally (45 degrees at full tilt): both keys.
    pad.leftX = 23170;
    pad.leftY = -23170;
    EXPECT_EQ(ControlsFromPad(pad), ControlRight | ControlUp);
    pad.leftX = -23170;
    pad.leftY = 23170;
    EXPECT_EQ(ControlsFromPad(pad), ControlLeft | ControlDown);
}

TEST_F(PlayerPads, TwoPadsDriveTheTwoPlayersApart) {
    VirtualPad first;
    VirtualPad second;
    first.Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
    first.Press(SDL_CONTROLLER_BUTTON_A);
    second.Tilt(SDL_CONTROLLER_AXIS_LEFTX, -30000);
    second.Press(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
    Frame();  // the pads arrive
    const PlayerInput::Frame frame = Frame();
    EXPECT_EQ(frame.controls[0], ControlUp | ControlCharge);
    EXPECT_EQ(frame.controls[1], ControlLeft | ControlTurn);
    EXPECT_NE(input.padSlot[0], input.padSlot[1]);
}

TEST_F(PlayerPads, APadPulledOutMidGameLeavesNothingHeldAndANewOneJoins) {
    auto first = std::make_unique<VirtualPad>();
    VirtualPad second;
    Frame();
    first->Press(SDL_CONTROLLER_BUTTON_A);
    first->Tilt(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    ASSERT_EQ(Frame().controls[0], ControlCharge | ControlRight);

    // Pulled out while charging and flying: the first player lets go at once,
    // and plays on with the keys.
    first.reset();
    PlayerInput::Frame frame = Frame();
    EXPECT_EQ(frame.controls[0], 0);
    EXPECT_EQ(input.padSlot[0], PlayerInput::noPad);
    keys[ScanCodeW] = 0x80;
    EXPECT_EQ(Frame().controls[0], ControlUp);
    keys[ScanCodeW] = 0;

    // A pad plugged in mid-game takes the free player; the second keeps its own.
    VirtualPad third;
    third.Press(SDL_CONTROLLER_BUTTON_B);
    Frame();
    frame = Frame();
    EXPECT_EQ(frame.controls[0], ControlTurn);
    EXPECT_EQ(frame.controls[1], 0);
}

TEST_F(PlayerPads, APadAndTheKeysDriveOnePlayerTogether) {
    VirtualPad pad;
    Frame();
    pad.Press(SDL_CONTROLLER_BUTTON_A);
    keys[ScanCodeW] = 0x80;
    keys[ScanCodeUp] = 0x80;
    const PlayerInput::Frame frame = Frame();
    EXPECT_EQ(frame.controls[0], ControlUp | ControlCharge);
    EXPECT_EQ(frame.controls[1], ControlUp);  // the second player's keys alone
}

TEST_F(PlayerPads, StartPausesOncePerPressAndASparePadTakesAFreedPlayer) {
    auto first = std::make_unique<VirtualPad>();
    VirtualPad second;
    VirtualPad spare;
    Frame();
    second.Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(Frame().startPressed);
    EXPECT_FALSE(Frame().startPressed);  // still held: no new press
    second.Release(SDL_CONTROLLER_BUTTON_START);
    EXPECT_FALSE(Frame().startPressed);

    // The spare pad's Start neither pauses nor takes a player while none is free.
    spare.Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_FALSE(Frame().startPressed);
    spare.Release(SDL_CONTROLLER_BUTTON_START);
    spare.Press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(Frame().controls[0], 0);

    // Once the first player's pad is gone, the spare's Start takes that player.
    first.reset();
    Frame();
    spare.Press(SDL_CONTROLLER_BUTTON_START);
    const PlayerInput::Frame frame = Frame();
    EXPECT_FALSE(frame.startPressed);
    EXPECT_EQ(frame.controls[0], ControlCharge);
    EXPECT_EQ(frame.controls[1], 0);
}

TEST_F(PlayerPads, AHitPlayerFeelsItWhereThePadHasMotors) {
    VirtualPad plain(false);
    VirtualPad shaking(true);
    Frame();
    Fighter fighters[playerCount];
    input.RumbleOnHits(pads, fighters);
    // The second player is hit: its stun timer rises.
    fighters[1].stunTimer = 20;
    input.RumbleOnHits(pads, fighters);
    EXPECT_EQ(shaking.rumbles, 1);
    // Counting down is no new hit.
    fighters[1].stunTimer = 19;
    input.RumbleOnHits(pads, fighters);
    EXPECT_EQ(shaking.rumbles, 1);
    // The first player's pad has no motors: nothing is asked of it.
    fighters[0].stunTimer = 20;
    input.RumbleOnHits(pads, fighters);
    EXPECT_EQ(pads.rumbleCount, 1);
}

}  // namespace
