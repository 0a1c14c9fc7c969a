// The local match's frames: the comforts' effects, the world, the rumble.
#include "modes/local_match_mode.h"

#include <cstdio>

#include "app/app_loop.h"
#include "app/play_frame.h"
#include "platform/platform_objects.h"

LocalMatchMode::LocalMatchMode(LocalInput& input, const MatchSetup& setup) : setup(setup) {
    ownControls[0] = std::make_unique<KeyControls>(input, KeyControls::FirstPlayer);
    ownControls[1] = std::make_unique<KeyControls>(input, KeyControls::SecondPlayer);
    players[0] = ownControls[0].get();
    players[1] = ownControls[1].get();
}

LocalMatchMode::LocalMatchMode(ControlSource& first, ControlSource& second, const MatchSetup& setup)
    : setup(setup) {
    players[0] = &first;
    players[1] = &second;
}

void LocalMatchMode::Enter(AppLoop& app) {
    app.Play().StartMatch();
    soundDevice.PauseOutput(false);
    screen.RestartFrameRate();
    match.Start(*players[0], *players[1], setup, stderr);
    app.Players().ForgetHits();
}

void LocalMatchMode::Frame(AppLoop& app, const FrameInput& input) {
    if ((input.commands & CommandEscape) != 0) {
        app.Quit(0);
        return;
    }
    PlayFrame(app.Play(), input.changes, match);
    if (input.active) {
        app.Players().RumbleOnHits();
    }
}

void LocalMatchMode::Leave(AppLoop&) {
    match.Finish();
}
