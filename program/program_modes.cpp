// ProgramModes: the modes made for the title menu's choices.
#include "program/program_modes.h"

#include <cstdio>
#include <cstdlib>

#include "ai/computer_player.h"
#include "modes/end_screen_mode.h"
#include "modes/local_match_mode.h"
#include "modes/menu_mode.h"
#include "modes/message_mode.h"
#include "modes/replay_mode.h"
#include "online/online_match_mode.h"

ProgramModes::ProgramModes(LocalInput& players, const GameOptions& options)
    : players(players), options(options) {}

std::unique_ptr<Mode> ProgramModes::Menu() {
    return std::make_unique<MenuMode>(*this);
}

std::unique_ptr<Mode> ProgramModes::Play(const MatchChoice& choice) {
    MatchSetup setup;
    setup.rule = choice.rule;
    ++matches;
    switch (choice.kind) {
        case ChoiceComputer:
            // The player takes either key set and any pad.
            setup.info = ComputerMatch(static_cast<int32_t>(choice.computerLevel), SideFirst);
            return std::make_unique<LocalMatchMode>(
                std::make_unique<KeyControls>(players, KeyControls::EitherPlayer),
                ComputerPlayer(1, choice.computerLevel, matches), setup, *this, choice);
        case ChoiceHost:
        case ChoiceJoin: {
            GameOptions online = options;
            online.online.role = choice.kind == ChoiceHost ? OnlineHost : OnlineJoin;
            if (choice.kind == ChoiceJoin && !ReadJoinAddress(choice.host, online.online)) {
                online.online.hostName = choice.host;
            }
            if (choice.kind == ChoiceHost) {
                // The host's rule is the match's; the joiner takes it.
                online.online.rule = choice.rule;
                if (choice.port != 0) {
                    online.online.port = choice.port;
                }
            }
            return std::make_unique<OnlineMatchMode>(online, players, *this, choice);
        }
        default:
            return std::make_unique<LocalMatchMode>(
                std::make_unique<KeyControls>(players, KeyControls::FirstPlayer),
                std::make_unique<KeyControls>(players, KeyControls::SecondPlayer), setup, *this,
                choice);
    }
}

std::unique_ptr<Mode> ProgramModes::EndScreen(const MatchChoice& choice,
                                              const MatchSummary& summary) {
    return std::make_unique<EndScreenMode>(*this, choice, summary);
}

std::unique_ptr<Mode> ProgramModes::Replay(const std::string& path) {
    auto playback = std::make_unique<ReplayPlayback>();
    // The reason a replay is refused goes on the screen as well as on
    // standard error.
    char* reason = nullptr;
    size_t size = 0;
    FILE* said = open_memstream(&reason, &size);
    const bool loaded = playback->Load(path, said != nullptr ? said : stderr);
    std::string line;
    if (said != nullptr) {
        std::fclose(said);
        line.assign(reason, size);
        std::free(reason);
        std::fputs(line.c_str(), stderr);
    }
    if (!loaded) {
        while (!line.empty() && line.back() == '\n') {
            line.pop_back();
        }
        if (line.rfind("kivoro: ", 0) == 0) {
            line.erase(0, 8);
        }
        return std::make_unique<MessageMode>("This replay cannot be played",
                                             std::vector<std::string>{line}, Menu(),
                                             "back to the menu", Menu(), "back to the menu");
    }
    return std::make_unique<ReplayMode>(std::move(playback), this);
}

std::unique_ptr<ControlSource> ProgramModes::ComputerPlayer(int32_t fighter, ComputerLevel level,
                                                            uint32_t seed) {
    return std::make_unique<::ComputerPlayer>(fighter, level, seed);
}
