// The checks of a key asked for one player's control, and their words: the
// settings file refuses a binding with exactly the sentence the controls
// screen shows for the same key.
#include "settings/binding_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/input/scan_codes.h"
#include "settings/settings.h"
#include "settings/settings_reader.h"

namespace {

std::string Refusal(const BindingCheck& check, uint8_t key) {
    char text[128];
    DescribeRefusal(check, key, text, sizeof text);
    return text;
}

TEST(BindingCheck, EachKeyIsFreeTakenReservedOrAlreadyTheControls) {
    struct Case {
        int32_t player;
        int32_t control;
        uint8_t key;
        BindingVerdict verdict;
        const char* words;
    };
    // Controls by index: up 0, down 1, left 2, right 3, turn 4, charge 5.
    const Case cases[] = {
        {0, 5, ScanCodeLeftControl, BindingFree, ""},
        {1, 0, ScanCodeKeypad8, BindingFree, ""},
        {0, 5, ScanCodeSpace, BindingUnchanged, ""},
        {0, 5, ScanCodeW, BindingTaken,
         "W is already the first player's up key; this binding is refused"},
        {0, 5, ScanCodeReturn, BindingTaken,
         "Return is already the second player's charge key; this binding is refused"},
        {1, 4, ScanCodeV, BindingTaken,
         "V is already the first player's turn key; this binding is refused"},
        {0, 0, ScanCodeEscape, BindingReserved, "Escape quits, so no player can have it"},
        {0, 0, ScanCodeP, BindingReserved, "P pauses, so no player can have it"},
        {1, 3, ScanCodeF1, BindingReserved, "F1 shows the help, so no player can have it"},
        {1, 3, ScanCodeM, BindingReserved, "M mutes the sound, so no player can have it"},
        {0, 2, ScanCodeMinus, BindingReserved, "- turns the volume down, so no player can have it"},
        {0, 2, ScanCodeEquals, BindingReserved, "= turns the volume up, so no player can have it"},
        {0, 1, ScanCodeF11, BindingReserved,
         "F11 switches between window and full screen, so no player can have it"},
        {0, 1, ScanCodeLeftAlt, BindingReserved,
         "Left Alt is kept for Alt combinations, so no player can have it"},
        {1, 1, ScanCodeRightAlt, BindingReserved,
         "Right Alt is kept for Alt combinations, so no player can have it"},
        {0, 0, 0, BindingNameless, "this key has no name the settings file knows"},
        {0, 0, 0x5A, BindingNameless, "this key has no name the settings file knows"},
    };
    for (const Case& c : cases) {
        const BindingCheck check = CheckBinding(DefaultKeyBindings(), c.player, c.control, c.key);
        EXPECT_EQ(check.verdict, c.verdict) << int{c.key};
        EXPECT_EQ(Refusal(check, c.key), c.words) << int{c.key};
    }
    // The semicolon is bound by its file name, which reads back.
    EXPECT_EQ(CheckBinding(DefaultKeyBindings(), 0, 0, ScanCodeSemicolon).verdict, BindingFree);
}

// The file's refusals, line by line, are the sentences above.
TEST(BindingCheck, TheSettingsFileRefusesInTheSameWords) {
    const std::string text =
        "[first player]\n"
        "charge = P\n"
        "turn = Return\n"
        "[second player]\n"
        "up = Left Alt\n";
    Settings settings;
    FILE* errors = std::tmpfile();
    ASSERT_NE(errors, nullptr);
    EXPECT_EQ(ReadSettingsText(text.data(), text.size(), "s.ini", settings, errors), 3);
    std::rewind(errors);
    char said[1024] = {};
    const size_t length = std::fread(said, 1, sizeof said - 1, errors);
    std::fclose(errors);
    const std::string lines(said, length);
    const KeyBindings defaults = DefaultKeyBindings();
    EXPECT_NE(lines.find("s.ini:2: " + Refusal(CheckBinding(defaults, 0, 5, ScanCodeP), ScanCodeP)),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("s.ini:3: " +
                         Refusal(CheckBinding(defaults, 0, 4, ScanCodeReturn), ScanCodeReturn)),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("s.ini:5: " +
                         Refusal(CheckBinding(defaults, 1, 0, ScanCodeLeftAlt), ScanCodeLeftAlt)),
              std::string::npos)
        << lines;
}

}  // namespace
