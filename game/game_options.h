// The command line, read in one place into one struct, with one usage text.
// Without options the game starts as designed; every option is a choice for
// this run only and outranks the settings file.
#pragma once

#include <cstdint>
#include <cstdio>

enum WindowChoice : uint8_t {
    WindowChoiceSettings = 0,  // as the settings file says (full screen by default)
    WindowChoiceWindowed = 1,
    WindowChoiceFullScreen = 2,
};

struct GameOptions {
    WindowChoice window = WindowChoiceSettings;
    bool mute = false;
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

// "kivoro 1.0", the program's name and version.
const char* GameVersionText();
