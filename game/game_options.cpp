// Command-line parsing with CLI11: the options, the usage text built from
// their descriptions with the controls table under it, and the one-line
// mistakes.
#include "game/game_options.h"

#include <CLI/CLI.hpp>

#include <string>

#include "game/controls_help.h"
#include "game/key_bindings.h"

#ifndef KIVORO_VERSION
#define KIVORO_VERSION "unknown"
#endif

namespace {

constexpr const char* versionText = "kivoro " KIVORO_VERSION;

std::string ControlsText() {
    ControlsHelp help;
    BuildControlsHelp(DefaultKeyBindings(), help);
    char* text = nullptr;
    size_t size = 0;
    FILE* memory = open_memstream(&text, &size);
    if (memory == nullptr) {
        return {};
    }
    std::fprintf(memory, "Controls (keys as the settings file names them):\n");
    PrintControlsHelp(help, memory);
    std::fprintf(memory,
                 "\nSettings: $XDG_CONFIG_HOME/kivoro/settings.ini "
                 "(by default ~/.config/kivoro/settings.ini).\n");
    std::fclose(memory);
    std::string controls(text, size);
    std::free(text);
    return controls;
}

}  // namespace

const char* GameVersionText() {
    return versionText;
}

int ParseGameOptions(int argc, const char* const* argv, GameOptions& options, FILE* out,
                     FILE* errors) {
    CLI::App app("Kivoro: a two-player split-screen duel of ki blasts in destructible dirt.",
                 "kivoro");
    app.set_help_flag("-h,--help", "Show this text and exit");
    app.set_version_flag("--version", versionText, "Show the version and exit");
    bool windowed = false;
    bool fullScreen = false;
    CLI::Option* windowedOption =
        app.add_flag("--windowed", windowed,
                     "Play in a window (the largest whole multiple of 800 x 600 that fits)");
    CLI::Option* fullScreenOption =
        app.add_flag("--fullscreen", fullScreen, "Play covering the screen (the default)");
    windowedOption->excludes(fullScreenOption);
    // The help shows what an option takes; a flag takes nothing (CLI11 would
    // list the exclusion there).
    windowedOption->option_text(" ");
    fullScreenOption->option_text(" ");
    app.add_flag("--mute", options.mute, "Start with the sound muted");
    app.footer(ControlsText());

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fprintf(out, "%s", app.help().c_str());
        return optionsExitDone;
    } catch (const CLI::CallForVersion&) {
        std::fprintf(out, "%s\n", versionText);
        return optionsExitDone;
    } catch (const CLI::ParseError& error) {
        std::fprintf(errors, "kivoro: %s\nTry 'kivoro --help' for more information.\n",
                     error.what());
        return optionsExitBadOptions;
    }
    if (windowed) {
        options.window = WindowChoiceWindowed;
    } else if (fullScreen) {
        options.window = WindowChoiceFullScreen;
    }
    return optionsPlay;
}
