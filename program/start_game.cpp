// Start-up: the options, the settings, the window and devices, the first
// mode, the application loop.
#include "program/start_game.h"

#include <cstdio>
#include <ctime>
#include <memory>

#include "app/app_loop.h"
#include "app/game_window.h"
#include "app/local_input.h"
#include "app/replay_playback.h"
#include "app/saved_settings.h"
#include "art/asset_path.h"
#include "modes/local_match_mode.h"
#include "modes/message_mode.h"
#include "modes/replay_mode.h"
#include "online/headless_match.h"
#include "online/online_match_mode.h"
#include "platform/set_up_world.h"
#include "program/program_modes.h"
#include "settings/game_options.h"

namespace {

// The players at this machine; with the platform objects, they live for the
// whole run.
LocalInput localPlayers;
SavedSettings savedSettings;

// The mode the options ask for, from the first frame on.
std::unique_ptr<Mode> FirstMode(const GameOptions& options, ProgramModes& modes,
                                std::unique_ptr<ReplayPlayback> playback) {
    if (options.menu) {
        return modes.Menu();
    }
    if (options.online.role != OnlineNone) {
        return std::make_unique<OnlineMatchMode>(options, localPlayers);
    }
    if (playback != nullptr) {
        return std::make_unique<ReplayMode>(std::move(playback));
    }
    MatchSetup setup;
    setup.recordPath = options.record;
    if (options.computer) {
        // The player takes either key set and any pad; the computer the
        // right fighter, its randomness from the time, as a person's is.
        setup.info = ComputerMatch(static_cast<int32_t>(options.computerLevel), SideFirst);
        return std::make_unique<LocalMatchMode>(
            std::make_unique<KeyControls>(localPlayers, KeyControls::EitherPlayer),
            modes.ComputerPlayer(1, options.computerLevel,
                                 static_cast<uint32_t>(std::time(nullptr))),
            setup);
    }
    return std::make_unique<LocalMatchMode>(localPlayers, setup);
}

// The screen that names the art and sound files the game could not read,
// and the fix; Enter plays on without them.
std::unique_ptr<Mode> MissingArtScreen(std::unique_ptr<Mode> then) {
    std::vector<std::string> lines = {
        std::string("Cannot read ") + ArtProblem() + ".",
        "Looked in " + AssetSearchFolders() + ".",
        "",
        "Run ./play.sh, which makes the art and sounds and starts the game,",
        "or start the game from the folder that holds them.",
    };
    return std::make_unique<MessageMode>("Some of the game's art and sound is missing",
                                         std::move(lines), std::move(then), "play without it",
                                         nullptr, "quit");
}

// The game in its window: answers the exit status.
int RunInWindow(const GameOptions& options) {
    // A replay that cannot be played is said before any window opens.
    std::unique_ptr<ReplayPlayback> playback;
    if (!options.replay.empty()) {
        playback = std::make_unique<ReplayPlayback>();
        if (!playback->Load(options.replay, stderr)) {
            return 1;
        }
    }
    savedSettings.Read(stderr);
    const Settings& settings = savedSettings.Values();
    const bool windowed = options.window == WindowChoiceWindowed ||
                          (options.window == WindowChoiceSettings && settings.windowed);
    PlayState play;
    play.volume = settings.volume;
    play.muted = settings.muted || options.mute;
    if (!OpenGameWindow(windowed, settings, stderr)) {
        return 1;
    }
    OpenGameDevices(windowed, settings, play, localPlayers, stderr);
    AppLoop app(localPlayers, savedSettings, play, windowed);
    ProgramModes modes(localPlayers, options);
    std::unique_ptr<Mode> first = FirstMode(options, modes, std::move(playback));
    // Missing art is said on the screen, where the player looks, before the
    // game goes on without it.
    LoadArt();
    if (ArtProblem()[0] != '\0') {
        first = MissingArtScreen(std::move(first));
    }
    return app.Run(std::move(first));
}

}  // namespace

int StartGame(int argc, const char* const* argv) {
    GameOptions options;
    const int parsed = ParseGameOptions(argc, argv, options, stdout, stderr);
    if (parsed != optionsPlay) {
        return parsed;
    }
    if (options.online.role != OnlineNone && options.online.headless) {
        return RunHeadlessMatch(options, stdout, stderr);
    }
    return RunInWindow(options);
}
