// The local match's frames: the comforts' effects, the world, the rumble,
// the leave box and the end.
#include "modes/local_match_mode.h"

#include <cstdio>
#include <cstring>

#include "app/app_loop.h"
#include "app/overlay_view.h"
#include "app/play_frame.h"
#include "platform/platform_objects.h"

namespace {

// The leave box's line (Windows-1252 text).
constexpr const char* leaveLine = "Leave the match? Enter: leave, Escape: play on";

}  // namespace

LocalMatchMode::LocalMatchMode(LocalInput& input, const MatchSetup& setup) : setup(setup) {
    ownSources[0] = std::make_unique<KeyControls>(input, KeyControls::FirstPlayer);
    ownSources[1] = std::make_unique<KeyControls>(input, KeyControls::SecondPlayer);
    players[0] = ownSources[0].get();
    players[1] = ownSources[1].get();
}

LocalMatchMode::LocalMatchMode(ControlSource& first, ControlSource& second, const MatchSetup& setup)
    : setup(setup) {
    players[0] = &first;
    players[1] = &second;
}

LocalMatchMode::LocalMatchMode(std::unique_ptr<ControlSource> first,
                               std::unique_ptr<ControlSource> second, const MatchSetup& setup)
    : setup(setup) {
    ownSources[0] = std::move(first);
    ownSources[1] = std::move(second);
    players[0] = ownSources[0].get();
    players[1] = ownSources[1].get();
}

LocalMatchMode::LocalMatchMode(std::unique_ptr<ControlSource> first,
                               std::unique_ptr<ControlSource> second, const MatchSetup& setup,
                               ModeDirectory& directory, const MatchChoice& choice)
    : setup(setup), directory(&directory), choice(choice) {
    ownSources[0] = std::move(first);
    ownSources[1] = std::move(second);
    players[0] = ownSources[0].get();
    players[1] = ownSources[1].get();
}

void LocalMatchMode::Enter(AppLoop& app) {
    app.Play().StartMatch();
    soundDevice.PauseOutput(false);
    screen.RestartFrameRate();
    match.Start(*players[0], *players[1], setup, stderr);
    app.Players().StartMatch();
    menuInput.Reset(&app.Players().Pads());
    asking = false;
}

void LocalMatchMode::Message(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    menuInput.Message(message, wParam, lParam);
}

void LocalMatchMode::Frame(AppLoop& app, const FrameInput& input) {
    if (directory == nullptr && (input.commands & CommandEscape) != 0) {
        app.Quit(0);
        return;
    }
    const uint32_t actions = menuInput.Frame(input.active ? &app.Players().Pads() : nullptr);
    PlayState& play = app.Play();
    if (directory != nullptr) {
        if (!asking && ((input.commands & CommandEscape) != 0 || (actions & MenuLeave) != 0)) {
            Ask(true, play);
            return;
        }
        if (asking) {
            if ((actions & MenuChoose) != 0) {
                app.SwitchTo(directory->Menu());
            } else if ((actions & MenuBack) != 0) {
                Ask(false, play);
            } else if ((input.changes & (PlayChangeCover | PlayChangeSound)) != 0) {
                DrawQuestionFrame(play, leaveLine);
            }
            return;
        }
    }
    PlayFrame(play, input.changes, match, directory != nullptr ? pausedLeaveLine : pausedLine);
    if (input.active) {
        app.Players().RumbleOnHits();
    }
    if (match.Outcome().decided) {
        if (directory != nullptr) {
            EndMatch(app);
        } else {
            app.Quit(0);
        }
    }
}

void LocalMatchMode::Ask(bool open, const PlayState& play) {
    asking = open;
    if (open) {
        // The world stops as for a pause; a picture already held (paused, or
        // the help shown) is held as it is.
        if (play.WorldRuns()) {
            soundDevice.PauseOutput(true);
            HoldStoppedPicture();
        }
        DrawQuestionFrame(play, leaveLine);
        return;
    }
    if (play.WorldRuns()) {
        soundDevice.PauseOutput(false);
        screen.RestartFrameRate();
    } else {
        DrawStoppedFrame(play, pausedLeaveLine);
    }
}

void LocalMatchMode::EndMatch(AppLoop& app) {
    MatchSummary summary = SummariseWorld(match.Rule(), match.Frame(), match.Stats());
    NameLocalPlayers(choice, summary);
    // The world freezes on the frame that decided it.
    soundDevice.PauseOutput(true);
    HoldStoppedPicture();
    app.SwitchTo(directory->EndScreen(choice, summary));
}

void LocalMatchMode::Leave(AppLoop&) {
    match.Finish();
}
