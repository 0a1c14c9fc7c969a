// The command line: --help and --version answer and exit 0, the window and
// sound choices land in the options, and a mistake is one line naming it, the
// pointer to --help, and status 2.
#include "settings/game_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
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

TEST(GameOptions, HostingAndJoining) {
    Parsed parsed = Parse({"--host"});
    ASSERT_EQ(parsed.status, optionsPlay) << parsed.errors;
    EXPECT_EQ(parsed.options.online.role, OnlineHost);
    EXPECT_EQ(parsed.options.online.port, defaultPort);
    EXPECT_EQ(parsed.options.online.inputDelay, 2);
    EXPECT_FALSE(parsed.options.online.headless);

    parsed = Parse({"--host", "0", "--input-delay", "0", "--name", "Mel Sar", "--windowed"});
    ASSERT_EQ(parsed.status, optionsPlay) << parsed.errors;
    EXPECT_EQ(parsed.options.online.port, 0);
    EXPECT_EQ(parsed.options.online.inputDelay, 0);
    EXPECT_EQ(parsed.options.online.name, "Mel Sar");
    EXPECT_EQ(parsed.options.window, WindowChoiceWindowed);

    parsed = Parse({"--join", "example.org"});
    ASSERT_EQ(parsed.status, optionsPlay) << parsed.errors;
    EXPECT_EQ(parsed.options.online.role, OnlineJoin);
    EXPECT_EQ(parsed.options.online.hostName, "example.org");
    EXPECT_EQ(parsed.options.online.port, defaultPort);

    parsed = Parse({"--join", "10.0.0.7:5000", "--input-delay", "8", "--record", "a.kvr"});
    ASSERT_EQ(parsed.status, optionsPlay) << parsed.errors;
    EXPECT_EQ(parsed.options.online.hostName, "10.0.0.7");
    EXPECT_EQ(parsed.options.online.port, 5000);
    EXPECT_EQ(parsed.options.online.inputDelay, 8);
    EXPECT_EQ(parsed.options.record, "a.kvr");
}

TEST(GameOptions, RecordingAndPlayingBack) {
    Parsed parsed = Parse({"--replay", "old.kvr", "--windowed"});
    ASSERT_EQ(parsed.status, optionsPlay) << parsed.errors;
    EXPECT_EQ(parsed.options.replay, "old.kvr");
    EXPECT_EQ(parsed.options.record, "");
    EXPECT_EQ(parsed.options.online.role, OnlineNone);

    for (const std::vector<const char*>& both :
         {std::vector<const char*>{"--replay", "a.kvr", "--record", "b.kvr"},
          std::vector<const char*>{"--replay", "a.kvr", "--host"},
          std::vector<const char*>{"--join", "h", "--replay", "a.kvr"}}) {
        parsed = Parse(both);
        EXPECT_EQ(parsed.status, optionsExitBadOptions);
        EXPECT_NE(parsed.errors.find("--replay"), std::string::npos) << parsed.errors;
    }
    parsed = Parse({"--replay"});
    EXPECT_EQ(parsed.status, optionsExitBadOptions);
}

TEST(GameOptions, HeadlessRuns) {
    const Parsed parsed = Parse({"--host", "47701", "--headless", "--frames", "3000", "--script",
                                 "me.txt", "--net-delay", "75", "--net-loss", "20", "--mute"});
    ASSERT_EQ(parsed.status, optionsPlay) << parsed.errors;
    const OnlineOptions& online = parsed.options.online;
    EXPECT_EQ(online.port, 47701);
    EXPECT_TRUE(online.headless);
    EXPECT_EQ(online.frames, 3000);
    EXPECT_EQ(online.script, "me.txt");
    EXPECT_EQ(online.netDelayMs, 75u);
    EXPECT_EQ(online.netLossPercent, 20u);
    EXPECT_EQ(online.rule, MatchRule{});
}

// The host's rule, spelt as the settings file spells it; endless unless given.
TEST(GameOptions, TheHostsRule) {
    const std::pair<const char*, MatchRule> rules[] = {
        {"kills 1", MatchRule{MatchFirstToKills, 1}},
        {"KILLS 99", MatchRule{MatchFirstToKills, 99}},
        {"minutes 30", MatchRule{MatchTimeLimit, 30}},
        {"endless", MatchRule{}},
    };
    for (const auto& [text, rule] : rules) {
        const Parsed parsed =
            Parse({"--host", "0", "--headless", "--frames", "10", "--script", "s", "--rule", text});
        ASSERT_EQ(parsed.status, optionsPlay) << parsed.errors;
        EXPECT_EQ(parsed.options.online.rule, rule) << text;
    }
    const Parsed windowed = Parse({"--host", "--rule", "kills 3", "--windowed"});
    ASSERT_EQ(windowed.status, optionsPlay) << windowed.errors;
    EXPECT_EQ(windowed.options.online.rule, (MatchRule{MatchFirstToKills, 3}));
}

TEST(GameOptions, OnlineMistakesAreOneLineNamingTheOption) {
    const std::string hint = "Try 'kivoro --help' for more information.\n";
    const std::vector<std::pair<std::vector<const char*>, const char*>> wrong = {
        {{"--host", "--join", "h"}, "--join"},
        {{"--host", "65536"}, "--host"},
        {{"--host", "port"}, "--host"},
        {{"--join"}, "--join"},
        {{"--join", ":47700"}, "--join"},
        {{"--join", "h:0"}, "--join"},
        {{"--join", "h:99999"}, "--join"},
        {{"--join", "h:"}, "--join"},
        {{"--host", "--input-delay", "9"}, "--input-delay"},
        {{"--host", "--input-delay", "-1"}, "--input-delay"},
        {{"--input-delay", "3"}, "--input-delay"},
        {{"--net-loss", "5"}, "--net-loss"},
        {{"--host", "--net-loss", "101"}, "--net-loss"},
        {{"--host", "--name", "a-name-far-too-long"}, "--name"},
        {{"--host", "--name", "tab\there"}, "--name"},
        {{"--host", "--headless", "--frames", "10"}, "--script"},
        {{"--host", "--headless", "--script", "s"}, "--frames"},
        {{"--host", "--frames", "10"}, "--frames"},
        {{"--host", "--headless", "--frames", "0", "--script", "s"}, "--frames"},
        {{"--headless", "--frames", "10", "--script", "s"}, "--headless"},
        {{"--host", "--headless", "--frames", "1", "--script", "s", "--windowed"}, "--windowed"},
        {{"--join", "h", "--rule", "kills 1"}, "--rule"},
        {{"--rule", "kills 1"}, "--rule"},
        {{"--host", "--rule", "kills 0"}, "--rule"},
        {{"--host", "--rule", "minutes 31"}, "--rule"},
        {{"--host", "--rule", "sideways"}, "--rule"},
        {{"--host", "--rule"}, "--rule"},
    };
    for (const auto& [arguments, named] : wrong) {
        const Parsed parsed = Parse(arguments);
        EXPECT_EQ(parsed.status, optionsExitBadOptions) << named;
        EXPECT_EQ(parsed.out, "");
        const size_t lineEnd = parsed.errors.find('\n');
        ASSERT_NE(lineEnd, std::string::npos) << named;
        EXPECT_EQ(parsed.errors.substr(lineEnd + 1), hint) << parsed.errors;
        EXPECT_NE(parsed.errors.substr(0, lineEnd).find(named), std::string::npos) << parsed.errors;
    }
}

TEST(GameOptions, HelpShowsTheOnlineOptions) {
    const Parsed parsed = Parse({"--help"});
    for (const char* text :
         {"--host [PORT]", "--join HOST[:PORT]", "--input-delay D", "--name", "--headless",
          "--frames N", "--script FILE", "--net-delay MS", "--net-loss PCT", "--rule RULE",
          "--record FILE", "--replay FILE", "47700", "P and F1 do"}) {
        EXPECT_NE(parsed.out.find(text), std::string::npos) << text << "\n" << parsed.out;
    }
}

}  // namespace
