// LocalMatchMode: a match at this machine, each fighter driven by a
// ControlSource (the players' keys and pads, by default; a computer player).
// Pause, help, volume and window as the comforts give them. Started without
// the title menu it is the game as it always was: endless, and Escape ends
// the program at once. Started from the menu, the match has its rule and ends
// on its end screen, and Escape (or a pad's Back) asks first: "Leave the
// match? Enter: leave, Escape: play on".
#pragma once

#include <memory>

#include "app/local_input.h"
#include "app/match.h"
#include "app/menu_input.h"
#include "app/mode.h"
#include "app/mode_directory.h"
#include "app/play_state.h"

class LocalMatchMode : public Mode {
public:
    // Both fighters from the keys and pads of the players at this machine.
    LocalMatchMode(LocalInput& input, const MatchSetup& setup);
    // The fighters' bytes from these sources, which must outlive the mode.
    LocalMatchMode(ControlSource& first, ControlSource& second, const MatchSetup& setup);
    // Fighters from sources of its own (a player's keys against the computer,
    // started without the menu).
    LocalMatchMode(std::unique_ptr<ControlSource> first, std::unique_ptr<ControlSource> second,
                   const MatchSetup& setup);
    // A match chosen from the title menu, with sources of its own; directory
    // gives what follows it.
    LocalMatchMode(std::unique_ptr<ControlSource> first, std::unique_ptr<ControlSource> second,
                   const MatchSetup& setup, ModeDirectory& directory, const MatchChoice& choice);

    void Enter(AppLoop& app) override;
    void Frame(AppLoop& app, const FrameInput& input) override;
    void Leave(AppLoop& app) override;
    void Message(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    bool ReadsPlayers() const override { return true; }

    const Match& CurrentMatch() const { return match; }
    bool AskingToLeave() const { return asking; }

private:
    void Ask(bool open, const PlayState& play);
    void EndMatch(AppLoop& app);

    std::unique_ptr<ControlSource> ownSources[2];
    ControlSource* players[2] = {nullptr, nullptr};
    MatchSetup setup;
    ModeDirectory* directory = nullptr;
    MatchChoice choice;
    Match match;
    MenuInput menuInput;
    bool asking = false;  // the leave box is up
};
