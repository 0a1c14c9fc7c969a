// The keys as the players press them: a key that goes down while Alt is held
// drives no fighter until it is let go (Alt+Enter switches the window, and
// the Enter still held afterwards must not charge), keys held before Alt
// keep working, and bindings from the settings drive the controls.
#include <gtest/gtest.h>

#include "app/player_input.h"
#include "engine/input/gamepad_set.h"
#include "engine/input/scan_codes.h"
#include "rules/fighter.h"

namespace {

class PlayerKeys : public ::testing::Test {
protected:
    uint8_t Second() { return input.Read(keys, pads).controls[1]; }
    uint8_t First() { return input.Read(keys, pads).controls[0]; }

    GamePadSet pads;  // never opened: no pads
    PlayerInput input;
    uint8_t keys[256] = {};
};

TEST_F(PlayerKeys, AltEnterNeverCharges) {
    keys[ScanCodeLeftAlt] = 0x80;
    EXPECT_EQ(Second(), 0);
    keys[ScanCodeReturn] = 0x80;
    EXPECT_EQ(Second(), 0);
    // Alt let go first, Enter still down after the switch: still no charge.
    keys[ScanCodeLeftAlt] = 0;
    for (int frame = 0; frame < 30; ++frame) {
        EXPECT_EQ(Second(), 0) << frame;
    }
    // Let go and pressed again, Enter charges.
    keys[ScanCodeReturn] = 0;
    EXPECT_EQ(Second(), 0);
    keys[ScanCodeReturn] = 0x80;
    EXPECT_EQ(Second(), ControlCharge);

    // The right Alt key (AltGr) counts the same.
    keys[ScanCodeReturn] = 0;
    Second();
    keys[ScanCodeRightAlt] = 0x80;
    keys[ScanCodeReturn] = 0x80;
    EXPECT_EQ(Second(), 0);
}

TEST_F(PlayerKeys, KeysHeldBeforeAltKeepWorking) {
    keys[ScanCodeReturn] = 0x80;
    keys[ScanCodeW] = 0x80;
    EXPECT_EQ(Second(), ControlCharge);
    keys[ScanCodeLeftAlt] = 0x80;
    const PlayerInput::Frame frame = input.Read(keys, pads);
    EXPECT_EQ(frame.controls[1], ControlCharge);
    EXPECT_EQ(frame.controls[0], ControlUp);
    // A key pressed during the Alt hold is swallowed; the others are not.
    keys[ScanCodeSpace] = 0x80;
    EXPECT_EQ(First(), ControlUp);
}

TEST_F(PlayerKeys, BindingsFromTheSettingsDriveTheControls) {
    KeyBindings bindings = DefaultKeyBindings();
    bindings.keys[0][5] = ScanCodeLeftControl;  // first player charges with Left Ctrl
    bindings.keys[1][0] = ScanCodeKeypad8;
    input.SetBindings(bindings);
    keys[ScanCodeSpace] = 0x80;
    keys[ScanCodeUp] = 0x80;
    EXPECT_EQ(input.Read(keys, pads).controls[0], 0);
    EXPECT_EQ(input.Read(keys, pads).controls[1], 0);
    keys[ScanCodeLeftControl] = 0x80;
    keys[ScanCodeKeypad8] = 0x80;
    const PlayerInput::Frame frame = input.Read(keys, pads);
    EXPECT_EQ(frame.controls[0], ControlCharge);
    EXPECT_EQ(frame.controls[1], ControlUp);
    EXPECT_FALSE(frame.startPressed);
}

}  // namespace
