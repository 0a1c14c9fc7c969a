// The lossless settings writer: over hand-written files, only the values that
// changed are written, every other byte stays; and saving to disk keeps the
// file's permissions and link, and never touches a file too large to read.
#include "settings/settings_rewrite.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "engine/input/scan_codes.h"
#include "settings/settings_file.h"

namespace {

constexpr int32_t up = 0, down = 1, turn = 4, charge = 5;

struct RewriteCase {
    const char* what;
    std::string old;
    std::function<void(Settings&)> change;
    std::string expected;
};

// The old text read, changed as the player would in play, written back.
std::string Rewritten(const RewriteCase& test) {
    Settings settings;
    ReadSettingsText(test.old.data(), test.old.size(), "old", settings, nullptr);
    test.change(settings);
    std::string out(test.old.size() + settingsRewriteRoom, '\0');
    const int32_t length =
        RewriteSettingsText(test.old.data(), test.old.size(), settings, out.data(), out.size());
    EXPECT_GE(length, 0) << test.what;
    out.resize(static_cast<size_t>(std::max(length, 0)));
    // Whatever was written reads back as the settings meant.
    Settings again;
    ReadSettingsText(out.data(), out.size(), "new", again, nullptr);
    EXPECT_EQ(again.windowed, settings.windowed) << test.what;
    EXPECT_EQ(again.volume, settings.volume) << test.what;
    EXPECT_EQ(again.muted, settings.muted) << test.what;
    EXPECT_EQ(std::memcmp(&again.keys, &settings.keys, sizeof again.keys), 0) << test.what;
    return out;
}

TEST(SettingsRewrite, ChangesOnlyTheValuesThatChangedAndKeepsEveryOtherByte) {
    const auto volume = [](int32_t percent) { return [=](Settings& s) { s.volume = percent; }; };
    const auto muted = [](Settings& s) { s.muted = true; };
    const auto windowed = [](Settings& s) { s.windowed = true; };
    const auto nothing = [](Settings&) {};
    const RewriteCase cases[] = {
        {"comments, blank lines and order",
         "; my settings\n\n[sound]\n# loud is good\nvolume = 100\nmuted = no\n\n"
         "[window]\nmode = fullscreen\n",
         volume(40),
         "; my settings\n\n[sound]\n# loud is good\nvolume = 40\nmuted = no\n\n"
         "[window]\nmode = fullscreen\n"},
        {"a changed value keeps its comment in its column",
         "[first player]\ncharge = Left Ctrl   ; I like ctrl\n",
         [](Settings& s) { s.keys.keys[0][charge] = ScanCodeSpace; },
         "[first player]\ncharge = Space       ; I like ctrl\n"},
        {"a longer value pushes the comment, keeping one space",
         "[first player]\nup = W   ; north\n",
         [](Settings& s) { s.keys.keys[0][up] = ScanCodeRightControl; },
         "[first player]\nup = Right Ctrl ; north\n"},
        {"a tab before the comment stays", "[sound]\nvolume = 100\t; percent\n", volume(5),
         "[sound]\nvolume = 5\t; percent\n"},
        {"an empty value, and one left empty before a comment",
         "[sound]\nmuted =\n[window]\nmode = ; undecided\n",
         [](Settings& s) {
             s.muted = true;
             s.windowed = true;
         },
         "[sound]\nmuted = yes\n[window]\nmode = windowed ; undecided\n"},
        {"CRLF lines, and a new one ending the same way", "[sound]\r\nvolume = 100\r\n",
         [](Settings& s) {
             s.volume = 20;
             s.muted = true;
         },
         "[sound]\r\nvolume = 20\r\nmuted = yes\r\n"},
        {"a byte-order mark", "\xEF\xBB\xBF[sound]\nvolume = 100\n", volume(5),
         "\xEF\xBB\xBF[sound]\nvolume = 5\n"},
        {"unknown and refused lines stay as they were",
         "[first player]\nturn = Blah\nsing = loud\nup = Escape\njust words\n[colours]\nsky = "
         "blue\n[sound]\nvolume = 100\n",
         volume(60),
         "[first player]\nturn = Blah\nsing = loud\nup = Escape\njust words\n[colours]\nsky = "
         "blue\n[sound]\nvolume = 60\n"},
        {"a refused line whose setting changes takes the new value",
         "[first player]\nturn = Blah\n", [](Settings& s) { s.keys.keys[0][turn] = ScanCodeQ; },
         "[first player]\nturn = Q\n"},
        {"a missing section is appended after a blank line", "[sound]\nvolume = 50\n", windowed,
         "[sound]\nvolume = 50\n\n[window]\nmode = windowed\n"},
        {"a missing setting goes after its section's last setting",
         "[sound]\nvolume = 50\n\n# keys\n[first player]\nup = I\n", muted,
         "[sound]\nvolume = 50\nmuted = yes\n\n# keys\n[first player]\nup = I\n"},
        {"into the last block of a section given twice",
         "[sound]\nvolume = 10\n[window]\nmode = windowed\n[SOUND]\n; quiet please\n", muted,
         "[sound]\nvolume = 10\n[window]\nmode = windowed\n[SOUND]\nmuted = yes\n"
         "; quiet please\n"},
        {"of a setting given twice, the last line is written",
         "[sound]\nvolume = 10\nvolume = 20\n", volume(30), "[sound]\nvolume = 10\nvolume = 30\n"},
        {"no newline at the end: a value changed", "[sound]\nvolume = 10", volume(20),
         "[sound]\nvolume = 20"},
        {"no newline at the end: a setting added", "[sound]\nvolume = 10", muted,
         "[sound]\nvolume = 10\nmuted = yes\n"},
        {"no newline at the end: a section added", "; only a comment", windowed,
         "; only a comment\n\n[window]\nmode = windowed\n"},
        {"an empty file gets only what changed", "", muted, "[sound]\nmuted = yes\n"},
        {"the name: value form", "[sound]\nvolume: 100\nmuted:no\n",
         [](Settings& s) {
             s.volume = 40;
             s.muted = true;
         },
         "[sound]\nvolume: 40\nmuted:yes\n"},
        {"the semicolon key by its file name", "[first player]\ndown = S\n",
         [](Settings& s) { s.keys.keys[0][down] = ScanCodeSemicolon; },
         "[first player]\ndown = Semicolon\n"},
        {"nothing changed, nothing written",
         "\xEF\xBB\xBF; odd\r\n[first player]\r\nturn = Blah   ; no\r\n[x]\r\ny", nothing,
         "\xEF\xBB\xBF; odd\r\n[first player]\r\nturn = Blah   ; no\r\n[x]\r\ny"},
        // The second player's up was refused while the first player's held Q;
        // once that changes, the line would come into use, so it is written
        // with the key the second player really has.
        {"a line freed by a change is written too",
         "[first player]\nup = Q\n[second player]\nup = Q\n",
         [](Settings& s) { s.keys.keys[0][up] = ScanCodeW; },
         "[first player]\nup = W\n[second player]\nup = Up\n"},
        // Grown past what the reader takes, the line would be lost whole.
        {"a line that would grow too long stays, the value goes below it",
         "[first player]\nup = W ;" + std::string(185, 'c') + "\n[sound]\n",
         [](Settings& s) { s.keys.keys[0][up] = ScanCodeRightControl; },
         "[first player]\nup = W ;" + std::string(185, 'c') + "\nup = Right Ctrl\n[sound]\n"},
    };
    for (const RewriteCase& test : cases) {
        EXPECT_EQ(Rewritten(test), test.expected) << test.what;
    }
}

TEST(SettingsRewrite, TooSmallABufferIsRefusedNotCut) {
    const std::string old = "[sound]\nvolume = 100\n";
    Settings settings;
    settings.volume = 5;
    char out[64];
    EXPECT_EQ(RewriteSettingsText(old.data(), old.size(), settings, out, 10), -1);
    EXPECT_EQ(RewriteSettingsText(old.data(), old.size(), settings, out, sizeof out),
              static_cast<int32_t>(old.size() - 2));
}

class SettingsSave : public ::testing::Test {
protected:
    void SetUp() override {
        folder = ::testing::TempDir() + "kivoro_settings_save_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::system(("rm -rf '" + folder + "'").c_str());
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
        path = folder + "/settings.ini";
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    static void Put(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string Get(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string folder;
    std::string path;
};

TEST_F(SettingsSave, RewritesTheFileInPlaceKeepingItsPermissions) {
    Put(path, "# mine\n[sound]\nvolume = 100   ; loud\n");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    Settings settings;
    settings.volume = 30;
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), settings));
    EXPECT_EQ(Get(path), "# mine\n[sound]\nvolume = 30    ; loud\n");
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(SettingsSave, AnUnchangedFileIsNotWrittenAtAll) {
    Put(path, "[sound]\nvolume = 100\n");
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), Settings()));
    struct stat after;
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);  // not replaced
}

TEST_F(SettingsSave, ALinkedFileIsRewrittenWhereItLies) {
    ASSERT_EQ(mkdir((folder + "/dotfiles").c_str(), 0700), 0);
    const std::string real = folder + "/dotfiles/kivoro.ini";
    Put(real, "[window]\nmode = fullscreen\n");
    ASSERT_EQ(symlink("dotfiles/kivoro.ini", path.c_str()), 0);
    Settings settings;
    settings.windowed = true;
    ASSERT_TRUE(WriteSettingsFile(path.c_str(), settings));
    struct stat status;
    ASSERT_EQ(lstat(path.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(Get(real), "[window]\nmode = windowed\n");
}

TEST_F(SettingsSave, AFileTooLargeToReadIsNeverRewritten) {
    // Over the limit already: the game read the defaults and never writes.
    const std::string large = "[sound]\nvolume = 100\n" + std::string(maxSettingsFileSize, '#');
    Put(path, large);
    Settings settings;
    settings.volume = 10;
    EXPECT_FALSE(WriteSettingsFile(path.c_str(), settings));
    EXPECT_EQ(Get(path), large);

    // Just under it, but a setting to add would carry it over.
    const std::string full =
        "[sound]\nvolume = 100\n;" + std::string(maxSettingsFileSize - 23, '#') + "\n";
    ASSERT_EQ(full.size(), maxSettingsFileSize);
    Put(path, full);
    settings.volume = 100;
    settings.muted = true;
    EXPECT_FALSE(WriteSettingsFile(path.c_str(), settings));
    EXPECT_EQ(Get(path), full);
    // A change in place that keeps it under the limit is written.
    settings.muted = false;
    settings.volume = 50;
    EXPECT_TRUE(WriteSettingsFile(path.c_str(), settings));
    EXPECT_EQ(Get(path).size(), maxSettingsFileSize - 1);
}

}  // namespace
