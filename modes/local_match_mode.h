// LocalMatchMode: two players at this machine, each fighter driven by a
// ControlSource (the players' keys and pads, by default). Pause, help,
// volume and window as the comforts give them; Escape ends the program at
// once, as the game started without options has always done.
#pragma once

#include <memory>

#include "app/local_input.h"
#include "app/match.h"
#include "app/mode.h"

class LocalMatchMode : public Mode {
public:
    // Both fighters from the keys and pads of the players at this machine.
    LocalMatchMode(LocalInput& input, const MatchSetup& setup);
    // The fighters' bytes from these sources (a player's keys, a script, a
    // computer player), which must outlive the mode.
    LocalMatchMode(ControlSource& first, ControlSource& second, const MatchSetup& setup);

    void Enter(AppLoop& app) override;
    void Frame(AppLoop& app, const FrameInput& input) override;
    void Leave(AppLoop& app) override;
    bool ReadsPlayers() const override { return true; }

    const Match& CurrentMatch() const { return match; }

private:
    std::unique_ptr<KeyControls> ownControls[2];
    ControlSource* players[2] = {nullptr, nullptr};
    MatchSetup setup;
    Match match;
};
