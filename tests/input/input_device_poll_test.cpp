// Update over scripted devices: the pointer clamp, button edges and double presses on
// the tick counter, the keyboard snapshot, and what a failed read leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "engine/input/input_device.h"
#include "engine/input/scan_codes.h"
#include "fake_sources.h"

namespace {

class Poll : public ::testing::Test {
protected:
    void SetUp() override { FakeInput::Attach(input); }

    void Move(int32_t dx, int32_t dy) {
        FakeInput::mouse.x = dx;
        FakeInput::mouse.y = dy;
        input.Update();
    }
    // Button bytes: 0 left, 1 right, 2 middle.
    void Buttons(bool left, bool right, bool middle, uint32_t tick) {
        FakeInput::mouse.buttons[0] = left ? 0x80 : 0;
        FakeInput::mouse.buttons[1] = right ? 0x80 : 0;
        FakeInput::mouse.buttons[2] = middle ? 0x80 : 0;
        FakeInput::now = tick;
        input.Update();
    }
    void ClickLeft(uint32_t tick) {
        Buttons(false, false, false, tick);
        Buttons(true, false, false, tick);
    }

    InputDevice input;
};

TEST_F(Poll, PointerStartsAtTheOriginAndStaysInsideTheClip) {
    input.SetMouseClip(10, 20, 110, 220);
    EXPECT_EQ(input.mouseX, 0);
    EXPECT_EQ(input.mouseY, 0);
    Move(0, 0);
    EXPECT_EQ(input.mouseX, 10);
    EXPECT_EQ(input.mouseY, 20);

    Move(-5000, -5000);
    EXPECT_EQ(input.mouseX, 10);
    EXPECT_EQ(input.mouseY, 20);
    EXPECT_EQ(input.mouseDeltaX, -5000);
    Move(5000, 5000);  // stops short of the exclusive edge
    EXPECT_EQ(input.mouseX, 109);
    EXPECT_EQ(input.mouseY, 219);
    Move(-9, -19);
    EXPECT_EQ(input.mouseX, 100);
    EXPECT_EQ(input.mouseY, 200);
    Move(0, 0);
    EXPECT_EQ(input.mouseDeltaX, 0);
}

TEST_F(Poll, AnEmptyClipLetsTheRightAndBottomClampWin) {
    input.SetMouseClip(50, 50, 50, 40);
    Move(0, 0);
    EXPECT_EQ(input.mouseX, 49);
    EXPECT_EQ(input.mouseY, 39);
}

TEST_F(Poll, ExtremeMotionDoesNotOverflow) {
    input.SetMouseClip(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    Move(INT_MAX, INT_MIN);
    Move(INT_MAX, INT_MIN);
    EXPECT_EQ(input.mouseX, INT_MAX - 1);
    EXPECT_EQ(input.mouseY, INT_MIN);
    Move(INT_MIN, INT_MAX);
    EXPECT_EQ(input.mouseX, -2);
    EXPECT_EQ(input.mouseY, -1);
}

TEST_F(Poll, PointerQueriesIncludeEdgesAndHandleHugeMargins) {
    input.SetMouseClip(0, 0, 100, 80);
    Move(10, 70);
    EXPECT_TRUE(input.IsMouseInRect(Rect{10, 70, 10, 70}));
    EXPECT_FALSE(input.IsMouseInRect(Rect{11, 0, 50, 80}));
    EXPECT_FALSE(input.IsMouseInRect(Rect{0, 0, 50, 69}));
    EXPECT_TRUE(input.IsMouseNearLeft(10));
    EXPECT_FALSE(input.IsMouseNearLeft(9));
    EXPECT_TRUE(input.IsMouseNearBottom(10));
    EXPECT_FALSE(input.IsMouseNearBottom(9));
    EXPECT_FALSE(input.IsMouseNearTop(69));
    EXPECT_FALSE(input.IsMouseNearRight(89));
    EXPECT_TRUE(input.IsMouseNearRight(90));
    EXPECT_TRUE(input.IsMouseNearTop(INT_MAX));
    EXPECT_FALSE(input.IsMouseNearTop(INT_MIN));
    EXPECT_TRUE(input.IsMouseNearRight(INT_MAX));
}

TEST_F(Poll, HeldButtonIsPressedInItsFirstFrameOnly) {
    Buttons(false, true, false, 1000);
    EXPECT_TRUE(input.rightPressed);
    EXPECT_TRUE(input.rightDown);
    EXPECT_FALSE(input.middleDown);
    Buttons(false, true, false, 1010);
    Buttons(false, true, false, 1020);
    EXPECT_FALSE(input.rightPressed);
    EXPECT_FALSE(input.rightDoubleClick);
    EXPECT_TRUE(input.rightDown);

    Buttons(false, false, true, 1030);
    EXPECT_TRUE(input.middlePressed);
    EXPECT_FALSE(input.rightDown);
    EXPECT_FALSE(input.rightPressed);
    Buttons(false, true, true, 1040);
    EXPECT_TRUE(input.rightPressed);
    EXPECT_TRUE(input.rightDoubleClick);
    EXPECT_FALSE(input.middlePressed);
    EXPECT_FALSE(input.middleDoubleClick);
}

TEST_F(Poll, ThirdPressIsMeasuredFromTheFirst) {
    const uint32_t t = 5000;
    ClickLeft(t);
    EXPECT_TRUE(input.leftPressed);
    EXPECT_FALSE(input.leftDoubleClick);
    EXPECT_EQ(input.lastLeftPressTime, t);

    ClickLeft(t + 200);
    EXPECT_TRUE(input.leftDoubleClick);
    EXPECT_EQ(input.lastLeftPressTime, t);
    Buttons(true, false, false, t + 250);  // still held: no press, no double
    EXPECT_FALSE(input.leftDoubleClick);

    ClickLeft(t + 450);
    EXPECT_FALSE(input.leftDoubleClick);
    EXPECT_EQ(input.lastLeftPressTime, t + 450);
    ClickLeft(t + 749);
    EXPECT_TRUE(input.leftDoubleClick);
}

TEST_F(Poll, DoublePressSpansAWrappingTickCounter) {
    ClickLeft(0xFFFFFF00u);
    ClickLeft(0x00000010u);  // 272 ms later
    EXPECT_TRUE(input.leftDoubleClick);
    ClickLeft(0x00000100u);  // 512 ms after the first
    EXPECT_FALSE(input.leftDoubleClick);
}

TEST_F(Poll, FirstPressIsSingleEvenRightAfterTheClockStarts) {
    ClickLeft(100);
    EXPECT_TRUE(input.leftPressed);
    EXPECT_FALSE(input.leftDoubleClick);
    ClickLeft(250);
    EXPECT_TRUE(input.leftDoubleClick);
}

TEST_F(Poll, ButtonsKeepSeparateIntervals) {
    Buttons(true, false, false, 3000);
    Buttons(false, true, false, 3100);
    EXPECT_TRUE(input.rightPressed);
    EXPECT_FALSE(input.rightDoubleClick);
}

TEST_F(Poll, KeysAreThePlainStateOfEachRead) {
    FakeInput::keys[ScanCodeSpace] = 0x80;
    FakeInput::keys[ScanCodeUp] = 0x80;
    for (int frame = 0; frame < 3; ++frame) {
        input.Update();
        EXPECT_EQ(input.keys[ScanCodeSpace], 0x80);
        EXPECT_EQ(input.keys[ScanCodeUp], 0x80);
    }
    FakeInput::keys[ScanCodeSpace] = 0;
    input.Update();
    EXPECT_EQ(input.keys[ScanCodeSpace], 0);
    EXPECT_EQ(input.keys[ScanCodeUp], 0x80);
}

TEST_F(Poll, NothingStaysHeldWhileTheWindowIsInactive) {
    FakeInput::keys[ScanCodeW] = 0x80;
    FakeInput::mouse.buttons[0] = 0x80;
    FakeInput::mouse.x = 30;
    input.SetMouseClip(0, 0, 100, 100);
    input.Update();
    ASSERT_EQ(input.keys[ScanCodeW], 0x80);
    ASSERT_TRUE(input.leftDown);

    FakeInput::focused = false;
    FakeInput::mouse.x = 30;
    const int acquiresBefore = FakeInput::acquireCount;
    input.Update();
    EXPECT_EQ(input.keys[ScanCodeW], 0);
    EXPECT_FALSE(input.leftDown);
    EXPECT_EQ(input.mouseDeltaX, 0);
    EXPECT_EQ(input.mouseX, 30);
    EXPECT_EQ(FakeInput::acquireCount, acquiresBefore + 2);  // mouse and keyboard

    // Back in the foreground with the button still held: a fresh press.
    FakeInput::focused = true;
    input.Update();
    EXPECT_EQ(input.keys[ScanCodeW], 0x80);
    EXPECT_TRUE(input.leftPressed);
}

TEST_F(Poll, InactiveOrMissingDevicesAreLeftAlone) {
    FakeInput::keys[ScanCodeA] = 0x80;
    FakeInput::mouse.x = 7;
    input.SetActiveDevices(false, false, true);  // no joystick was ever opened
    input.joystickX = 123;
    input.joystickButton2 = true;
    input.Update();
    EXPECT_EQ(input.keys[ScanCodeA], 0);
    EXPECT_EQ(input.mouseX, 0);
    EXPECT_EQ(input.joystickX, 123);
    EXPECT_TRUE(input.joystickButton2);

    InputDevice bare;
    bare.SetActiveDevices(true, true, true);
    bare.Update();
    bare.AcquireAll();
    bare.UnacquireAll();
    EXPECT_EQ(bare.mouseX, 0);
}

}  // namespace
