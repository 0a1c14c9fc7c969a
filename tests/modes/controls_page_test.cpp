// The controls page driven as the menu drives it, one display frame at a
// time with the frame's menu actions and key state: a key pressed while it
// listens is bound, saved to the settings file and played with at once; a
// key the game keeps and a key another control has are refused in the file's
// words and change nothing; Escape cancels; the key's own menu actions that
// come after it are not taken as choices.
#include "modes/controls_page.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/app_loop.h"
#include "app/local_input.h"
#include "app/menu_input.h"
#include "app/overlay_view.h"
#include "app/painter.h"
#include "app/play_state.h"
#include "app/saved_settings.h"
#include "engine/display/screen.h"
#include "engine/display/window_messages.h"
#include "engine/input/scan_codes.h"
#include "platform/platform_objects.h"
#include "settings/settings_file.h"

namespace {

class ControlsPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A settings folder of this test's own, with no file in it yet.
        const std::string config = testing::TempDir() + "controls_" + std::to_string(getpid()) +
                                   "_" +
                                   testing::UnitTest::GetInstance()->current_test_info()->name();
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ASSERT_TRUE(SettingsFilePath(path, sizeof path));
        saved.Read(stderr);
        page.Open(app);
    }

    // One display frame with these actions and the key state as it is.
    ControlsPage::Result Frame(uint32_t actions = 0, bool focused = true) {
        return page.Act(actions, focused ? keys : nullptr, input, app);
    }
    // A key pressed and held for a few frames, then let go and settled.
    void Press(uint8_t key) {
        keys[key] = 0x80;
        Frame();
        Frame();
        keys[key] = 0;
        for (int32_t k = 0; k < ControlsPage::settleFrames + 1; ++k) {
            Frame();
        }
    }
    // Chooses player's control (an index into boundControls) and listens.
    void Listen(int32_t player, int32_t control) {
        while (page.Row() != control) {
            Frame(MenuDown);
        }
        if (page.Player() != player) {
            Frame(MenuRight);
        }
        Frame(MenuChoose);
        ASSERT_TRUE(page.Listening());
    }
    Settings FileSettings() {
        Settings read;
        ReadSettingsFile(path, read, stderr);
        return read;
    }
    uint8_t PlayedControls(int32_t player, uint8_t key) {
        uint8_t held[256] = {};
        held[key] = 0x80;
        GamePadSet pads;
        const uint8_t controls = players.Players().Read(held, pads).controls[player];
        players.Players().Read(keys, pads);  // let go again
        return controls;
    }

    LocalInput players;
    SavedSettings saved;
    AppLoop app{players, saved, PlayState(), true};
    MenuInput input;
    ControlsPage page;
    uint8_t keys[256] = {};
    char path[settingsPathSize] = {};
};

TEST_F(ControlsPageTest, AKeyPressedIsBoundSavedAndPlayedAtOnce) {
    Listen(0, 5);
    EXPECT_STREQ(page.Note(), "Press the new key for the first player's charge.");
    EXPECT_STREQ(page.Hint(), "Press the new key, Esc cancels");
    Press(ScanCodeLeftControl);
    EXPECT_FALSE(page.Listening());
    EXPECT_STREQ(page.Note(), "Left Ctrl is now the first player's charge key.");
    EXPECT_EQ(app.Settings().Values().keys.keys[0][5], ScanCodeLeftControl);
    EXPECT_EQ(FileSettings().keys.keys[0][5], ScanCodeLeftControl);
    EXPECT_EQ(PlayedControls(0, ScanCodeLeftControl), ControlCharge);
    EXPECT_EQ(PlayedControls(0, ScanCodeSpace), 0);
    EXPECT_STREQ(OverlayControlsHelp().cells[4][1], "Left Ctrl");
    // The other player's keys, and the old key, free again, for another control.
    Frame(MenuUp);
    Listen(1, 4);
    Press(ScanCodeSpace);
    EXPECT_STREQ(page.Note(), "Space is now the second player's turn key.");
    const Settings file = FileSettings();
    EXPECT_EQ(file.keys.keys[1][4], ScanCodeSpace);
    EXPECT_EQ(file.keys.keys[0][5], ScanCodeLeftControl);
    EXPECT_EQ(PlayedControls(1, ScanCodeSpace), ControlTurn);
}

TEST_F(ControlsPageTest, ReservedAndTakenKeysAreRefusedInTheFilesWords) {
    struct Case {
        uint8_t key;
        const char* note;
    };
    const Case cases[] = {
        {ScanCodeP, "P pauses, so no player can have it"},
        {ScanCodeF11, "F11 switches between window and full screen, so no player can have it"},
        {ScanCodeRightAlt, "Right Alt is kept for Alt combinations, so no player can have it"},
        {ScanCodeW, "W is already the first player's up key; this binding is refused"},
        {ScanCodeUp, "Up is already the second player's up key; this binding is refused"},
        {ScanCodeSpace, "Space stays the first player's charge key."},
    };
    for (const Case& c : cases) {
        Listen(0, 5);
        Press(c.key);
        EXPECT_FALSE(page.Listening()) << c.note;
        EXPECT_STREQ(page.Note(), c.note);
    }
    // Nothing changed, so nothing was written.
    EXPECT_EQ(app.Settings().Values().keys.keys[0][5], ScanCodeSpace);
    EXPECT_NE(access(path, F_OK), 0) << "the settings file was written";
    EXPECT_EQ(PlayedControls(0, ScanCodeSpace), ControlCharge);
}

TEST_F(ControlsPageTest, EscapeOrAPadsBackCancelsAndHeldKeysWaitToBePressedAgain) {
    Listen(0, 0);
    Press(ScanCodeEscape);
    EXPECT_FALSE(page.Listening());
    EXPECT_STREQ(page.Note(), "");
    // A pad's B (a menu Back with no key down) cancels too.
    Frame(MenuChoose);
    ASSERT_TRUE(page.Listening());
    Frame(MenuBack);
    EXPECT_FALSE(page.Listening());
    for (int32_t k = 0; k < ControlsPage::settleFrames; ++k) {
        Frame();
    }
    // A key already down when listening starts (the Enter that chose, a key
    // held) is not the new key; pressed again it is. Without the focus no
    // key counts.
    keys[ScanCodeReturn] = 0x80;
    keys[ScanCodeQ] = 0x80;
    Frame(MenuChoose);
    ASSERT_TRUE(page.Listening());
    Frame();
    keys[ScanCodeQ] = 0;
    keys[ScanCodeReturn] = 0;
    Frame();
    keys[ScanCodeY] = 0x80;
    Frame(0, false);
    keys[ScanCodeY] = 0;
    Frame();
    EXPECT_TRUE(page.Listening());
    Press(ScanCodeQ);
    EXPECT_STREQ(page.Note(), "Q is now the first player's up key.");
    EXPECT_EQ(app.Settings().Values().keys.keys[0][0], ScanCodeQ);
}

// The key bound may be one the menu reads (an arrow, Enter): its own key-down
// reaches the menu a little later, and must not move the choice or listen
// again, while the key is held and for a few frames after.
TEST_F(ControlsPageTest, TheCapturedKeysOwnMenuActionsAreNotChoices) {
    Listen(1, 5);
    // The keypad's Enter, which the menu takes for Enter.
    keys[ScanCodeKeypadEnter] = 0x80;
    Frame();
    EXPECT_FALSE(page.Listening());
    EXPECT_STREQ(page.Note(), "Keypad Enter is now the second player's charge key.");
    input.Message(WM_KEYDOWN, VK_RETURN, 0);
    for (int32_t k = 0; k < 10; ++k) {
        Frame(input.Frame(nullptr));
    }
    input.Message(WM_KEYDOWN, VK_RETURN, KeyRepeatBit);
    keys[ScanCodeKeypadEnter] = 0;
    Frame(input.Frame(nullptr));
    input.Message(WM_KEYDOWN, VK_DOWN, 0);
    for (int32_t k = 0; k < ControlsPage::settleFrames + 1; ++k) {
        Frame();
    }
    EXPECT_FALSE(page.Listening());
    EXPECT_EQ(page.Row(), 5);
    // Then the menu's keys work again: Down, Enter on Back leaves.
    Frame(MenuDown);
    EXPECT_EQ(page.Row(), ControlsPage::backRow);
    EXPECT_EQ(Frame(MenuChoose), ControlsPage::Back);
    EXPECT_EQ(Frame(MenuBack), ControlsPage::Back);
}

TEST_F(ControlsPageTest, ThePageDrawsItsTableListeningOrNot) {
    ASSERT_EQ(screen.SetMemoryMode(800, 600), 0);
    OpenPainterFonts();
    page.Draw(*screen.backSurface, 190);
    Listen(0, 3);
    page.Draw(*screen.backSurface, 190);
    Press(ScanCodeL);
    page.Draw(*screen.backSurface, 190);
    EXPECT_STREQ(page.Note(), "L is now the first player's right key.");
}

}  // namespace
