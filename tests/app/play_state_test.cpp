// The comfort commands: which window messages stand for them, and what pause,
// help, a lost focus and the volume keys change.
#include <gtest/gtest.h>

#include <cstring>

#include "app/play_state.h"
#include "engine/display/window_messages.h"

namespace {

constexpr uintptr_t keyP = 0x50;
constexpr uintptr_t keyM = 0x4D;
constexpr uintptr_t keyF11 = 0x7A;
constexpr intptr_t firstPress = 1;
constexpr intptr_t repeatPress = 1 | KeyRepeatBit;

TEST(CommandsFromMessage, KeysAndAltEnter) {
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, keyP, firstPress), uint32_t{CommandPause});
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, VK_F1, firstPress), uint32_t{CommandHelp});
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, keyM, firstPress), uint32_t{CommandMute});
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, VK_OEM_MINUS, firstPress),
              uint32_t{CommandVolumeDown});
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, VK_SUBTRACT, firstPress),
              uint32_t{CommandVolumeDown});
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, VK_OEM_PLUS, firstPress), uint32_t{CommandVolumeUp});
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, VK_ADD, firstPress), uint32_t{CommandVolumeUp});
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, keyF11, firstPress), uint32_t{CommandWindowMode});
    // Alt+Enter arrives as a system key; Enter alone is the second player's charge.
    EXPECT_EQ(CommandsFromMessage(WM_SYSKEYDOWN, VK_RETURN, firstPress),
              uint32_t{CommandWindowMode});
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, VK_RETURN, firstPress), 0u);
    // A held key's repeats do nothing more; key-ups and other keys nothing at all.
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, keyP, repeatPress), 0u);
    EXPECT_EQ(CommandsFromMessage(WM_SYSKEYDOWN, VK_RETURN, repeatPress), 0u);
    EXPECT_EQ(CommandsFromMessage(WM_KEYUP, keyP, repeatPress | (intptr_t{1} << 31)), 0u);
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, VK_ESCAPE, firstPress), 0u);
    EXPECT_EQ(CommandsFromMessage(WM_KEYDOWN, VK_SPACE, firstPress), 0u);
    // The focus is watched by the loop, not taken from the message.
    EXPECT_EQ(CommandsFromMessage(WM_ACTIVATE, WA_INACTIVE, 0), 0u);
}

TEST(PlayState, PauseHelpAndFocusStopTheWorldAndSayWhen) {
    PlayState state;
    EXPECT_TRUE(state.WorldRuns());
    EXPECT_EQ(state.Apply(0), 0u);
    EXPECT_EQ(state.Apply(CommandPause), PlayChangeStopped | PlayChangeCover);
    EXPECT_FALSE(state.WorldRuns());
    EXPECT_EQ(state.Apply(0), 0u);
    EXPECT_EQ(state.Apply(CommandPause), uint32_t{PlayChangeResumed});
    EXPECT_TRUE(state.WorldRuns());

    // F1 stops the world while the help shows, and F1 again lets it go on.
    EXPECT_EQ(state.Apply(CommandHelp), PlayChangeStopped | PlayChangeCover);
    EXPECT_TRUE(state.helpShown);
    EXPECT_EQ(state.Apply(CommandHelp), uint32_t{PlayChangeResumed});

    // Help over a pause: closing it keeps the pause; P over the help continues.
    state.Apply(CommandPause);
    EXPECT_EQ(state.Apply(CommandHelp), uint32_t{PlayChangeCover});
    EXPECT_EQ(state.Apply(CommandHelp), uint32_t{PlayChangeCover});
    EXPECT_TRUE(state.paused);
    state.Apply(CommandHelp);
    EXPECT_EQ(state.Apply(CommandPause), uint32_t{PlayChangeResumed});
    EXPECT_FALSE(state.paused);
    EXPECT_FALSE(state.helpShown);

    // A lost focus pauses, and only P continues.
    EXPECT_EQ(state.Apply(CommandFocusLost), PlayChangeStopped | PlayChangeCover);
    EXPECT_EQ(state.Apply(CommandFocusLost), uint32_t{PlayChangeCover});
    EXPECT_TRUE(state.paused);
    EXPECT_EQ(state.Apply(CommandPause), uint32_t{PlayChangeResumed});

    // The window mode is the caller's; it neither stops nor starts the world.
    EXPECT_EQ(state.Apply(CommandWindowMode), uint32_t{PlayChangeWindowMode});
    EXPECT_TRUE(state.WorldRuns());
}

TEST(PlayState, VolumeStepsMuteAndTheirNote) {
    PlayState state;
    state.volume = 70;
    EXPECT_EQ(state.Apply(CommandVolumeDown), uint32_t{PlayChangeSound});
    EXPECT_EQ(state.volume, 60);
    EXPECT_STREQ(state.note, "Volume 60 %");
    EXPECT_TRUE(state.NoteShown());
    state.Apply(CommandVolumeUp);
    state.Apply(CommandVolumeUp);
    EXPECT_STREQ(state.note, "Volume 80 %");
    for (int i = 0; i < 5; ++i) {
        state.Apply(CommandVolumeUp);
    }
    EXPECT_EQ(state.volume, 100);
    for (int i = 0; i < 12; ++i) {
        state.Apply(CommandVolumeDown);
    }
    EXPECT_EQ(state.volume, 0);
    EXPECT_STREQ(state.note, "Volume 0 %");

    state.volume = 50;
    state.Apply(CommandMute);
    EXPECT_TRUE(state.muted);
    EXPECT_STREQ(state.note, "Muted");
    EXPECT_EQ(state.volume, 50);
    state.Apply(CommandMute);
    EXPECT_FALSE(state.muted);
    EXPECT_STREQ(state.note, "Volume 50 %");
    // A volume step while muted brings the sound back.
    state.Apply(CommandMute);
    state.Apply(CommandVolumeUp);
    EXPECT_FALSE(state.muted);
    EXPECT_EQ(state.volume, 60);

    // The note lasts a second of frames; over a stopped world its end is a
    // change of the cover, over a running one it simply is not drawn again.
    state.Apply(CommandPause);
    state.Apply(CommandVolumeDown);
    for (int32_t frame = 1; frame < PlayState::noteFrames; ++frame) {
        EXPECT_EQ(state.Apply(0), 0u) << frame;
        EXPECT_TRUE(state.NoteShown());
    }
    EXPECT_EQ(state.Apply(0), uint32_t{PlayChangeCover});
    EXPECT_FALSE(state.NoteShown());
}

// A mode's own note takes the volume note's place for as long; a volume step
// replaces it.
TEST(PlayState, AModesNoteLastsASecond) {
    PlayState state;
    state.ShowNote("An online match cannot pause");
    EXPECT_STREQ(state.note, "An online match cannot pause");
    for (int32_t frame = 1; frame < PlayState::noteFrames; ++frame) {
        state.Apply(0);
    }
    EXPECT_TRUE(state.NoteShown());
    state.Apply(0);
    EXPECT_FALSE(state.NoteShown());
    state.ShowNote("a note far too long for the panel's corner to take in full");
    EXPECT_EQ(std::strlen(state.note), sizeof state.note - 1);
    state.Apply(CommandMute);
    EXPECT_STREQ(state.note, "Muted");
}

}  // namespace
