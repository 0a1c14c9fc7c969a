// The controls as the players read them: the table follows the bindings, and
// the README shows the same rows and notes as the help overlay and --help.
#include "settings/controls_help.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/input/scan_codes.h"

namespace {

std::string Readme() {
    std::ifstream file(std::string(KIVORO_TEST_DATA_DIR) + "/../../README.md");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(ControlsHelp, TheTableNamesTheBoundKeys) {
    KeyBindings bindings = DefaultKeyBindings();
    bindings.keys[0][0] = ScanCodeI;
    bindings.keys[1][5] = ScanCodeKeypadEnter;
    ControlsHelp help;
    BuildControlsHelp(bindings, help);
    EXPECT_STREQ(help.cells[1][0], "Aim up / down");
    EXPECT_STREQ(help.cells[1][1], "I / S");
    EXPECT_STREQ(help.cells[1][2], "Up / Down");
    EXPECT_STREQ(help.cells[4][2], "Keypad Enter");
    EXPECT_STREQ(help.cells[3][2], "Right Shift");
}

TEST(ControlsHelp, TheReadmeSaysWhatTheHelpSays) {
    const std::string readme = Readme();
    ASSERT_FALSE(readme.empty());
    ControlsHelp help;
    BuildControlsHelp(DefaultKeyBindings(), help);
    for (const auto& row : help.cells) {
        std::string line = "|";
        for (const char* cell : row) {
            line += std::string(" ") + cell + " |";
        }
        EXPECT_NE(readme.find(line + "\n"), std::string::npos) << line;
    }
    for (const char* note : help.notes) {
        EXPECT_NE(readme.find(note), std::string::npos) << note;
    }
}

}  // namespace
