// The command line: --help and --version answer and exit 0, the window and
// sound choices land in the options, and a mistake is one line naming it, the
// pointer to --help, and status 2.
#include "game/game_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Parsed {
    int status = 0;
    GameOptions options;
    std::string out;
    std::string errors;
};

Parsed Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "kivoro");
    Parsed parsed;
    char* outText = nullptr;
    char* errorText = nullptr;
    size_t outSize = 0;
    size_t errorSize = 0;
    FILE* out = open_memstream(&outText, &outSize);
    FILE* errors = open_memstream(&errorText, &errorSize);
    parsed.status = ParseGameOptions(static_cast<int>(arguments.size()), arguments.data(),
                                     parsed.options, out, errors);
    std::fclose(out);
    std::fclose(errors);
    parsed.out.assign(outText, outSize);
    parsed.errors.assign(errorText, errorSize);
    std::free(outText);
    std::free(errorText);
    return parsed;
}

TEST(GameOptions, NoOptionsPlaysAsDesigned) {
    const Parsed parsed = Parse({});
    EXPECT_EQ(parsed.status, optionsPlay);
    EXPECT_EQ(parsed.options.window, WindowChoiceSettings);
    EXPECT_FALSE(parsed.options.mute);
    EXPECT_EQ(parsed.out + parsed.errors, "");
}

TEST(GameOptions, WindowAndSoundChoices) {
    Parsed parsed = Parse({"--windowed"});
    EXPECT_EQ(parsed.status, optionsPlay);
    EXPECT_EQ(parsed.options.window, WindowChoiceWindowed);
    parsed = Parse({"--fullscreen", "--mute"});
    EXPECT_EQ(parsed.status, optionsPlay);
    EXPECT_EQ(parsed.options.window, WindowChoiceFullScreen);
    EXPECT_TRUE(parsed.options.mute);
    EXPECT_EQ(parsed.out + parsed.errors, "");
}

TEST(GameOptions, HelpShowsEveryOptionAndTheControls) {
    const Parsed parsed = Parse({"--help"});
    EXPECT_EQ(parsed.status, optionsExitDone);
    EXPECT_EQ(parsed.errors, "");
    for (const char* text : {"Usage: kivoro [OPTIONS]", "--help", "--version", "--windowed",
                             "--fullscreen", "--mute", "Controls", "Space", "Right Shift",
                             "A (cross)", "Start", "Alt+Enter or F11", "settings.ini"}) {
        EXPECT_NE(parsed.out.find(text), std::string::npos) << text << "\n" << parsed.out;
    }
    EXPECT_EQ(Parse({"-h"}).out, parsed.out);
}

TEST(GameOptions, VersionNamesTheProgram) {
    const Parsed parsed = Parse({"--version"});
    EXPECT_EQ(parsed.status, optionsExitDone);
    EXPECT_EQ(parsed.out, std::string(GameVersionText()) + "\n");
    EXPECT_EQ(parsed.out.rfind("kivoro ", 0), 0u);
}

TEST(GameOptions, AMistakeIsOneLineNamingItThenTheHint) {
    const std::string hint = "Try 'kivoro --help' for more information.\n";
    for (const std::vector<const char*>& wrong :
         std::vector<std::vector<const char*>>{{"--bogus"},
                                               {"--windowed", "stray"},
                                               {"-x"},
                                               {"--windowed", "--fullscreen"},
                                               {"--mute=maybe"}}) {
        const Parsed parsed = Parse(wrong);
        EXPECT_EQ(parsed.status, optionsExitBadOptions) << wrong.back();
        EXPECT_EQ(parsed.out, "");
        const size_t lineEnd = parsed.errors.find('\n');
        ASSERT_NE(lineEnd, std::string::npos);
        EXPECT_EQ(parsed.errors.substr(lineEnd + 1), hint) << parsed.errors;
        EXPECT_EQ(parsed.errors.rfind("kivoro: ", 0), 0u) << parsed.errors;
        const std::string named = std::string(wrong.back()).substr(0, 6);
        EXPECT_NE(parsed.errors.substr(0, lineEnd).find(named), std::string::npos) << parsed.errors;
    }
}

}  // namespace
