// The command line, read in one place into one struct, with one usage text.
// Without options the game starts as designed; every option is a choice for
// this run only and outranks the settings file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "ai/computer_level.h"
#include "rules/match_rule.h"

enum WindowChoice : uint8_t {
    WindowChoiceSettings = 0,  // as the settings file says (full screen by default)
    WindowChoiceWindowed = 1,
    WindowChoiceFullScreen = 2,
};

// The UDP port a host listens on when none is given.
inline constexpr uint16_t defaultPort = 47700;

enum OnlineRole : uint8_t {
    OnlineNone = 0,  // both players at this machine
    OnlineHost = 1,  // --host: waits for the other player, plays the first fighter
    OnlineJoin = 2,  // --join: connects to a host, plays the second fighter
};

// Online play: --host [PORT] or --join HOST[:PORT], and what goes with them.
struct OnlineOptions {
    OnlineRole role = OnlineNone;
    std::string hostName;         // --join's host, a name or an address
    uint16_t port = defaultPort;  // with --host, 0 is any free port
    int32_t inputDelay = 2;       // 0..8 frames
    std::string name;             // shown to the other player; empty: the login name
    uint32_t netDelayMs = 0;      // a bad link on one machine: each packet held this long
    uint32_t netLossPercent = 0;  // and this share of them dropped
    // --rule, hosting: when the match is over (the game's own: endless). The
    // menu's host plays the rule of the settings file.
    MatchRule rule;
    // --headless: no window and no sound; this side's control bytes come
    // from the script file, and exactly frames world frames are played.
    bool headless = false;
    int32_t frames = 0;
    std::string script;
};

struct GameOptions {
    // --menu: the title menu, from which every kind of match is started.
    bool menu = false;
    // --computer [LEVEL]: the second fighter is the computer at this level.
    bool computer = false;
    ComputerLevel computerLevel = ComputerLevel::Normal;
    WindowChoice window = WindowChoiceSettings;
    bool mute = false;
    std::string record;  // --record FILE; empty: the default replay path
    std::string replay;  // --replay FILE: play it back instead of playing
    OnlineOptions online;
};

// ParseGameOptions' answer when the game is to start.
inline constexpr int optionsPlay = -1;
// Exit statuses of the command line.
inline constexpr int optionsExitDone = 0;        // --help or --version was answered
inline constexpr int optionsExitBadOptions = 2;  // an unknown option or a missing value

// Reads argv into options. --help writes the usage, every option and the
// controls to out; --version writes "kivoro VERSION". A mistake writes one
// line naming it and a line pointing at --help to errors. Answers optionsPlay,
// or the status the program should exit with.
int ParseGameOptions(int argc, const char* const* argv, GameOptions& options, FILE* out,
                     FILE* errors);

// HOST or HOST:PORT (PORT 1..65535) into online's hostName and port; false
// when the text is neither.
bool ReadJoinAddress(const std::string& text, OnlineOptions& online);

// "kivoro 1.0", the program's name and version.
const char* GameVersionText();
