// The settings file: its place under the XDG folder, a good file, a missing
// one, bad lines named once each with the rest used, bindings that clash
// refused, and writing that replaces the file whole or not at all.
#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/input/scan_codes.h"

namespace {

// Reads text as the settings file NAME and answers the messages it gave.
std::string Read(const std::string& text, Settings& settings, int32_t* reported = nullptr) {
    char* out = nullptr;
    size_t size = 0;
    FILE* errors = open_memstream(&out, &size);
    const int32_t count = ReadSettingsText(text.data(), text.size(), "NAME", settings, errors);
    std::fclose(errors);
    std::string messages(out, size);
    std::free(out);
    if (reported != nullptr) {
        *reported = count;
    }
    return messages;
}

int32_t Lines(const std::string& text) {
    int32_t count = 0;
    for (const char c : text) {
        count += c == '\n';
    }
    return count;
}

std::string FolderForTest() {
    const std::string folder = ::testing::TempDir() + "kivoro_settings_" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::system(("rm -rf '" + folder + "'").c_str());
    return folder;
}

std::string Contents(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(SettingsFile, GoodFileIsReadWholeAndSilently) {
    Settings settings;
    int32_t reported = -1;
    const std::string messages = Read(
        "; a comment\n"
        "# another\n"
        "[window]\n"
        "mode = windowed\n"
        "size = 1200X900\n"
        "\n"
        "[sound]\n"
        "volume = 40\n"
        "muted = yes\n"
        "[first player]\n"
        "up = I\n"
        "down = k   ; inline comment, and any case\n"
        "charge = Left Ctrl\n"
        "[Second Player]\n"
        "TURN = Keypad 0\n",
        settings, &reported);
    EXPECT_EQ(messages, "");
    EXPECT_EQ(reported, 0);
    EXPECT_TRUE(settings.windowed);
    EXPECT_EQ(settings.windowWidth, 1200);
    EXPECT_EQ(settings.windowHeight, 900);
    EXPECT_EQ(settings.volume, 40);
    EXPECT_TRUE(settings.muted);
    EXPECT_EQ(settings.keys.keys[0][0], ScanCodeI);
    EXPECT_EQ(settings.keys.keys[0][1], ScanCodeK);
    EXPECT_EQ(settings.keys.keys[0][2], ScanCodeA);  // not in the file: the default
    EXPECT_EQ(settings.keys.keys[0][5], ScanCodeLeftControl);
    EXPECT_EQ(settings.keys.keys[1][4], ScanCodeKeypad0);
    EXPECT_EQ(settings.keys.keys[1][5], ScanCodeReturn);
}

TEST(SettingsFile, WhatTheGameWritesReadsBackTheSame) {
    Settings written;
    written.windowed = true;
    written.windowWidth = 1000;
    written.windowHeight = 750;
    written.volume = 70;
    written.muted = true;
    written.keys.keys[0][4] = ScanCodeRightControl;
    written.keys.keys[1][4] = ScanCodeLeftShift;
    // Its own name would read as a comment after "= ".
    written.keys.keys[0][1] = ScanCodeSemicolon;
    char text[2048];
    const int32_t length = FormatSettings(written, text, sizeof text);
    ASSERT_GT(length, 0);
    Settings read;
    EXPECT_EQ(Read(std::string(text, static_cast<size_t>(length)), read), "");
    EXPECT_EQ(read.windowed, written.windowed);
    EXPECT_EQ(read.windowWidth, 1000);
    EXPECT_EQ(read.windowHeight, 750);
    EXPECT_EQ(read.volume, written.volume);
    EXPECT_EQ(read.muted, written.muted);
    EXPECT_EQ(std::memcmp(&read.keys, &written.keys, sizeof read.keys), 0);
    EXPECT_NE(std::string(text).find("down = Semicolon\n"), std::string::npos) << text;
    // No size chosen yet: none is written, so the game goes on choosing one.
    EXPECT_NE(std::string(text).find("size = 1000x750\n"), std::string::npos) << text;
    written.windowWidth = written.windowHeight = 0;
    ASSERT_GT(FormatSettings(written, text, sizeof text), 0);
    EXPECT_EQ(std::string(text).find("size"), std::string::npos) << text;
    // Too small a buffer is refused, not cut.
    EXPECT_EQ(FormatSettings(written, text, 100), -1);
}

TEST(SettingsFile, EachBadLineIsNamedOnceAndTheRestIsUsed) {
    Settings settings;
    int32_t reported = 0;
    const std::string messages = Read(
        "[window]\n"
        "mode = sideways\n"  // 2: bad value
        "[sound]\n"
        "volume = 150\n"     // 4: out of range
        "volume = 30\n"      // 5: good
        "muted = perhaps\n"  // 6
        "just words here\n"  // 7: not a setting
        "[unclosed\n"        // 8
        "[first player]\n"
        "jump = Space\n"       // 10: no such control
        "up = Nonsense Key\n"  // 11: no such key
        "down = Escape\n"      // 12: the game's own key
        "left = J\n"           // 13: good
        "[extras]\n"
        "colour = blue\n"  // 15: unknown section
        "right = " +
            std::string(300, 'x') +
            "\n"  // 16: too long
            "[second player]\n"
            "turn = P\n",  // 18: the pause key
        settings, &reported);
    EXPECT_EQ(Lines(messages), 11) << messages;
    EXPECT_EQ(reported, 11);
    for (const int line : {2, 4, 6, 7, 8, 10, 11, 12, 15, 16, 18}) {
        EXPECT_NE(messages.find("kivoro: NAME:" + std::to_string(line) + ": "), std::string::npos)
            << line << "\n"
            << messages;
    }
    EXPECT_NE(messages.find("Escape quits, so no player can have it"), std::string::npos);
    EXPECT_FALSE(settings.windowed);
    EXPECT_EQ(settings.volume, 30);
    EXPECT_FALSE(settings.muted);
    EXPECT_EQ(settings.keys.keys[0][0], ScanCodeW);
    EXPECT_EQ(settings.keys.keys[0][1], ScanCodeS);
    EXPECT_EQ(settings.keys.keys[0][2], ScanCodeJ);
    EXPECT_EQ(settings.keys.keys[1][4], ScanCodeRightShift);
}

TEST(SettingsFile, AWindowSizeIsTwoSidesInRangeOrRefused) {
    struct Case {
        const char* value;
        int32_t width;  // 0: refused
        int32_t height;
    };
    const Case cases[] = {
        {"1200x900", 1200, 900},
        {"100x100", 100, 100},
        {"16384X16384", 16384, 16384},
        {"99x900", 0, 0},
        {"1200x16385", 0, 0},
        {"1200", 0, 0},
        {"1200x", 0, 0},
        {"x900", 0, 0},
        {"1200x900x2", 0, 0},
        {"-1200x900", 0, 0},
        {"1200 x 900", 0, 0},
        {"12a0x900", 0, 0},
        {"0001200x900", 0, 0},
        {"99999999999x900", 0, 0},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.windowWidth = 7;
        settings.windowHeight = 8;
        const std::string messages =
            Read(std::string("[window]\nsize = ") + c.value + "\n", settings);
        if (c.width > 0) {
            EXPECT_EQ(messages, "") << c.value;
            EXPECT_EQ(settings.windowWidth, c.width) << c.value;
            EXPECT_EQ(settings.windowHeight, c.height) << c.value;
        } else {
            EXPECT_EQ(messages,
                      std::string("kivoro: NAME:2: size is WIDTHxHEIGHT in pixels, each from 100 "
                                  "to 16384, not '") +
                          c.value + "'\n")
                << c.value;
            EXPECT_EQ(settings.windowWidth, 7) << c.value;
            EXPECT_EQ(settings.windowHeight, 8) << c.value;
        }
    }
}

TEST(SettingsFile, AKeyGivenToTwoControlsIsRefusedOnTheLaterLine) {
    Settings settings;
    std::string messages = Read(
        "[first player]\n"
        "up = Q\n"
        "down = Q\n"  // 3: Q is the first player's up already
        "[second player]\n"
        "charge = Space\n",  // 5: the first player's charge by default
        settings);
    EXPECT_EQ(Lines(messages), 2) << messages;
    EXPECT_NE(messages.find("NAME:3: Q is already the first player's up key"), std::string::npos)
        << messages;
    EXPECT_NE(messages.find("NAME:5: Space is already the first player's charge key"),
              std::string::npos)
        << messages;
    EXPECT_EQ(settings.keys.keys[0][0], ScanCodeQ);
    EXPECT_EQ(settings.keys.keys[0][1], ScanCodeS);
    EXPECT_EQ(settings.keys.keys[1][5], ScanCodeReturn);

    // Swapping two keys is no clash; taking a key whose control moved is none.
    Settings swapped;
    messages = Read(
        "[first player]\nup = S\ndown = W\n[second player]\nup = A\n"
        "[first player]\nleft = Z\n",
        swapped);
    EXPECT_EQ(messages, "");
    EXPECT_EQ(swapped.keys.keys[0][0], ScanCodeS);
    EXPECT_EQ(swapped.keys.keys[0][1], ScanCodeW);
    EXPECT_EQ(swapped.keys.keys[1][0], ScanCodeA);
    EXPECT_EQ(swapped.keys.keys[0][2], ScanCodeZ);

    // A refusal that gives a control its default back can clash again: that
    // binding is refused too, until every key has one control. Here line 2
    // takes the first player's down key, line 5 repeats line 4, and once line
    // 2 is refused the first player's up is W again, which line 4 took.
    Settings chained;
    messages = Read("[first player]\nup = S\n[second player]\ncharge = W\nup = W\n", chained);
    EXPECT_EQ(Lines(messages), 3) << messages;
    const KeyBindings defaults = DefaultKeyBindings();
    EXPECT_EQ(std::memcmp(&chained.keys, &defaults, sizeof defaults), 0);
    for (int32_t a = 0; a < playerCount * controlCount; ++a) {
        for (int32_t b = a + 1; b < playerCount * controlCount; ++b) {
            EXPECT_NE(chained.keys.keys[a / controlCount][a % controlCount],
                      chained.keys.keys[b / controlCount][b % controlCount]);
        }
    }
}

TEST(SettingsFile, OddBytesNeverUpsetTheReader) {
    Settings settings;
    EXPECT_EQ(Read("", settings), "");
    EXPECT_EQ(Read("\xEF\xBB\xBF[sound]\nvolume = 20", settings), "");  // a BOM, no last newline
    EXPECT_EQ(settings.volume, 20);
    const char raw[] = "[sound]\nvolume = 10\0garbage\nmuted = yes\n";
    const std::string withNul(raw, sizeof raw - 1);
    EXPECT_EQ(Read(withNul, settings), "");
    EXPECT_EQ(settings.volume, 10);
    EXPECT_TRUE(settings.muted);
    const std::string carriageReturns = "[window]\r\nmode = windowed\r\n";
    EXPECT_EQ(Read(carriageReturns, settings), "");
    EXPECT_TRUE(settings.windowed);
    // Indented lines are settings of their own, not continuations.
    EXPECT_EQ(Read("[sound]\nvolume = 10\n  volume = 90\n", settings), "");
    EXPECT_EQ(settings.volume, 90);
}

TEST(SettingsFile, PathFollowsXdgConfigHomeThenHome) {
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = oldConfig != nullptr ? oldConfig : "";
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    char path[settingsPathSize];
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    setenv("HOME", "/home/player", 1);
    ASSERT_TRUE(SettingsFilePath(path, sizeof path));
    EXPECT_STREQ(path, "/cfg/kivoro/settings.ini");
    // A relative or empty XDG_CONFIG_HOME is ignored, as the XDG rules say.
    for (const char* ignored : {"", "relative/cfg"}) {
        setenv("XDG_CONFIG_HOME", ignored, 1);
        ASSERT_TRUE(SettingsFilePath(path, sizeof path));
        EXPECT_STREQ(path, "/home/player/.config/kivoro/settings.ini");
    }
    unsetenv("HOME");
    EXPECT_FALSE(SettingsFilePath(path, sizeof path));
    EXPECT_STREQ(path, "");
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_FALSE(SettingsFilePath(path, 10));  // does not fit
    if (oldConfig != nullptr) {
        setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    setenv("HOME", savedHome.c_str(), 1);
}

TEST(SettingsFile, MissingFileMeansDefaultsAndWritingMakesTheFolder) {
    const std::string folder = FolderForTest();
    const std::string path = folder + "/deeper/kivoro/settings.ini";
    Settings settings;
    settings.volume = 55;
    EXPECT_EQ(ReadSettingsFile(path.c_str(), settings, stderr), 0);
    EXPECT_EQ(settings.volume, 55);  // untouched

    settings.windowed = true;
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), settings));
    Settings read;
    EXPECT_EQ(ReadSettingsFile(path.c_str(), read, stderr), 0);
    EXPECT_TRUE(read.windowed);
    EXPECT_EQ(read.volume, 55);
    // Nothing but the file is left in its folder.
    const std::string listing = folder + "/listing";
    std::system(("ls -A '" + folder + "/deeper/kivoro' > '" + listing + "'").c_str());
    EXPECT_EQ(Contents(listing), "settings.ini\n");
    // A relative path is refused; a folder in place of the file is not replaced.
    EXPECT_FALSE(WriteSettingsFile("relative/settings.ini", settings));
    mkdir((folder + "/taken").c_str(), 0700);
    EXPECT_FALSE(WriteSettingsFile((folder + "/taken").c_str(), settings));
    std::system(("rm -rf '" + folder + "'").c_str());
}

// A writer killed at any moment leaves the old file or the new one, whole.
TEST(SettingsFile, WritingIsAtomicEvenWhenKilledMidway) {
    const std::string folder = FolderForTest();
    const std::string path = folder + "/settings.ini";
    Settings quiet;
    quiet.volume = 10;
    Settings loud;
    loud.volume = 90;
    loud.windowed = true;
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), quiet));
    char quietText[2048];
    char loudText[2048];
    const std::string quietWhole(quietText, FormatSettings(quiet, quietText, sizeof quietText));
    const std::string loudWhole(loudText, FormatSettings(loud, loudText, sizeof loudText));
    for (int32_t round = 0; round < 12; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int32_t i = 0;; ++i) {
                WriteSettingsFile(path.c_str(), i % 2 == 0 ? loud : quiet);
            }
        }
        usleep(2000 + 3000 * round);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string text = Contents(path);
        EXPECT_TRUE(text == quietWhole || text == loudWhole) << "round " << round << ":\n" << text;
    }
    std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
