// Command-line parsing with CLI11: the options, the usage text built from
// their descriptions with the controls table under it, and the one-line
// mistakes.
#include "settings/game_options.h"

#include <CLI/CLI.hpp>

#include <string>

#include "settings/controls_help.h"
#include "settings/key_bindings.h"
#include "settings/setting_rows.h"

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
                 "\nOnline, either key set and any pad drive your own fighter; P and F1 do\n"
                 "not pause (the other player's game runs on) and say so; M, volume and the\n"
                 "window work.\n"
                 "\nSettings: $XDG_CONFIG_HOME/kivoro/settings.ini "
                 "(by default ~/.config/kivoro/settings.ini).\n");
    std::fclose(memory);
    std::string controls(text, size);
    std::free(text);
    return controls;
}

// What the online options leave wrong once parsed, or empty.
std::string OnlineMistake(const CLI::App& app, const std::string& join, const std::string& host,
                          const std::string& rule, OnlineOptions& online) {
    if (app.count("--host") > 0) {
        online.role = OnlineHost;
        if (!host.empty()) {
            if (host.size() > 5 || host.find_first_not_of("0123456789") != std::string::npos ||
                std::stoul(host) > 65535) {
                return "--host: \"" + host + "\" is not a port (0 to 65535)";
            }
            online.port = static_cast<uint16_t>(std::stoul(host));
        }
    } else if (app.count("--join") > 0) {
        online.role = OnlineJoin;
        if (!ReadJoinAddress(join, online)) {
            return "--join: \"" + join + "\" is not HOST or HOST:PORT (port 1 to 65535)";
        }
    }
    if (online.role == OnlineNone) {
        for (const char* option :
             {"--input-delay", "--name", "--net-delay", "--net-loss", "--headless"}) {
            if (app.count(option) > 0) {
                return std::string(option) + " needs --host or --join";
            }
        }
    }
    for (const char c : online.name) {
        if (c < 0x20 || c > 0x7E) {
            return "--name: only printable ASCII characters";
        }
    }
    if (app.count("--rule") > 0) {
        if (online.role != OnlineHost) {
            return "--rule needs --host: the host's rule is the match's";
        }
        if (!ReadMatchRule(rule.c_str(), &online.rule)) {
            return "--rule: \"" + rule +
                   "\" is not 'kills N' (1 to 99), 'minutes N' (1 to 30) or 'endless'";
        }
    }
    return {};
}

}  // namespace

bool ReadJoinAddress(const std::string& text, OnlineOptions& online) {
    const size_t colon = text.rfind(':');
    online.hostName = text.substr(0, colon);
    if (online.hostName.empty()) {
        return false;
    }
    if (colon == std::string::npos) {
        return true;
    }
    const std::string port = text.substr(colon + 1);
    if (port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string::npos || std::stoul(port) == 0 ||
        std::stoul(port) > 65535) {
        return false;
    }
    online.port = static_cast<uint16_t>(std::stoul(port));
    return true;
}

const char* GameVersionText() {
    return versionText;
}

namespace {

// The flags and options that are not online play's: the window, the sound,
// recording and playing back. Answers the options online play excludes.
struct LocalOptions {
    CLI::Option* windowed = nullptr;
    CLI::Option* fullScreen = nullptr;
    CLI::Option* replay = nullptr;
    CLI::Option* menu = nullptr;
    CLI::Option* computer = nullptr;
};

LocalOptions AddLocalOptions(CLI::App& app, GameOptions& options, bool& windowed, bool& fullScreen,
                             std::string& computerLevel) {
    LocalOptions added;
    added.windowed =
        app.add_flag("--windowed", windowed, "Play in a window of its own, of any size");
    added.fullScreen =
        app.add_flag("--fullscreen", fullScreen, "Play covering the screen (the default)");
    added.windowed->excludes(added.fullScreen);
    // The help shows what an option takes; a flag takes nothing (CLI11 would
    // list the exclusion there).
    added.windowed->option_text(" ");
    added.fullScreen->option_text(" ");
    app.add_flag("--mute", options.mute, "Start with the sound muted");
    CLI::Option* record =
        app.add_option("--record", options.record,
                       "Record the match to FILE (default: kept in the replay folder)")
            ->option_text("FILE");
    added.replay =
        app.add_option("--replay", options.replay,
                       "Play back the match recorded in FILE (Space pauses, [ and ] set the speed)")
            ->option_text("FILE");
    added.replay->excludes(record);
    added.menu = app.add_flag("--menu", options.menu,
                              "Open the title menu: every kind of match, replays and settings")
                     ->option_text(" ");
    added.menu->excludes(record)->excludes(added.replay);
    added.computer = app.add_option("--computer", computerLevel,
                                    "Play against the computer, which takes the right fighter: "
                                    "easy, normal (the default) or hard")
                         ->expected(0, 1)
                         ->option_text("[LEVEL]");
    added.computer->excludes(added.replay)->excludes(added.menu);
    return added;
}

// Online play: a host and one player who joins it, each at a machine.
void AddOnlineOptions(CLI::App& app, const LocalOptions& local, OnlineOptions& online,
                      std::string& hostPort, std::string& join, std::string& rule) {
    const char* group = "Online play (UDP, default port 47700)";
    CLI::Option* host =
        app.add_option("--host", hostPort,
                       "Wait for a player on PORT (0: any free one); play the left fighter")
            ->expected(0, 1)
            ->option_text("[PORT]")
            ->group(group);
    CLI::Option* joinOption =
        app.add_option("--join", join, "Play the right fighter in the game hosted at HOST")
            ->option_text("HOST[:PORT]")
            ->group(group);
    host->excludes(joinOption);
    local.replay->excludes(host)->excludes(joinOption);
    local.menu->excludes(host)->excludes(joinOption);
    local.computer->excludes(host)->excludes(joinOption);
    app.add_option("--rule", rule,
                   "Hosting: when the match is over: 'kills N' (the first to N kills wins), "
                   "'minutes N' or 'endless' (the default)")
        ->option_text("RULE")
        ->group(group);
    app.add_option("--input-delay", online.inputDelay,
                   "Frames between a key and its effect, on both sides (default 2)")
        ->check(CLI::Range(0, 8))
        ->option_text("D")
        ->group(group);
    app.add_option("--name", online.name, "Your name as the other player sees it (default: login)")
        ->check(CLI::Validator(
            [](std::string& name) {
                return name.empty() || name.size() > 16 ? std::string("1 to 16 characters")
                                                        : std::string();
            },
            "", "name"))
        ->option_text("NAME")
        ->group(group);
    CLI::Option* headless =
        app.add_flag("--headless", online.headless,
                     "No window or sound: play FRAMES frames from the SCRIPT, print the final line")
            ->option_text(" ")
            ->group(group);
    headless->excludes(local.windowed)->excludes(local.fullScreen);
    CLI::Option* frames =
        app.add_option("--frames", online.frames, "With --headless: frames to play")
            ->check(CLI::Range(1, 100000000))
            ->option_text("N")
            ->group(group);
    CLI::Option* script =
        app.add_option("--script", online.script,
                       "With --headless: this side's control byte per frame, one a line")
            ->option_text("FILE")
            ->group(group);
    frames->needs(headless);
    script->needs(headless);
    headless->needs(frames)->needs(script);
    app.add_option("--net-delay", online.netDelayMs, "Hold each packet sent for MS milliseconds")
        ->check(CLI::Range(0, 5000))
        ->option_text("MS")
        ->group(group);
    app.add_option("--net-loss", online.netLossPercent, "Drop PCT percent of the inputs sent")
        ->check(CLI::Range(0, 100))
        ->option_text("PCT")
        ->group(group);
}

int Mistaken(FILE* errors, const std::string& what) {
    std::fprintf(errors, "kivoro: %s\nTry 'kivoro --help' for more information.\n", what.c_str());
    return optionsExitBadOptions;
}

}  // namespace

int ParseGameOptions(int argc, const char* const* argv, GameOptions& options, FILE* out,
                     FILE* errors) {
    CLI::App app("Kivoro: a two-player split-screen duel of ki blasts in destructible dirt.",
                 "kivoro");
    app.set_help_flag("-h,--help", "Show this text and exit");
    app.set_version_flag("--version", versionText, "Show the version and exit");
    bool windowed = false;
    bool fullScreen = false;
    std::string hostPort;
    std::string join;
    std::string computerLevel;
    std::string rule;
    const LocalOptions local = AddLocalOptions(app, options, windowed, fullScreen, computerLevel);
    AddOnlineOptions(app, local, options.online, hostPort, join, rule);
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
        return Mistaken(errors, error.what());
    }
    const std::string mistake = OnlineMistake(app, join, hostPort, rule, options.online);
    if (!mistake.empty()) {
        return Mistaken(errors, mistake);
    }
    if (local.computer->count() > 0) {
        options.computer = true;
        if (!computerLevel.empty() && !ParseComputerLevel(computerLevel, &options.computerLevel)) {
            return Mistaken(
                errors, "--computer: \"" + computerLevel + "\" is no level (easy, normal or hard)");
        }
    }
    if (windowed) {
        options.window = WindowChoiceWindowed;
    } else if (fullScreen) {
        options.window = WindowChoiceFullScreen;
    }
    return optionsPlay;
}
