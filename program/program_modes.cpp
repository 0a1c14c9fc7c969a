// ProgramModes: the modes made for the title menu's choices.
#include "program/program_modes.h"

#include <cstdio>

#include "modes/end_screen_mode.h"
#include "modes/local_match_mode.h"
#include "modes/menu_mode.h"
#include "modes/replay_mode.h"
#include "online/online_match_mode.h"
#include "rules/script_controls.h"

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
            return std::make_unique<OnlineMatchMode>(online, players);
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
    if (!playback->Load(path, stderr)) {
        return Menu();
    }
    return std::make_unique<ReplayMode>(std::move(playback));
}

std::unique_ptr<ControlSource> ProgramModes::ComputerPlayer(int32_t, int32_t, uint32_t) {
    // Stands in until the computer player is built.
    return std::make_unique<ScriptControls>(std::vector<uint8_t>());
}
