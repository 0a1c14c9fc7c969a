// The replay mode: the playback's frames inside the application loop.
#include "modes/replay_mode.h"

#include "app/app_loop.h"
#include "platform/platform_objects.h"

ReplayMode::ReplayMode(std::unique_ptr<ReplayPlayback> playback, ModeDirectory* directory)
    : playback(std::move(playback)), directory(directory) {}

void ReplayMode::Enter(AppLoop& app) {
    app.Play().StartMatch();
    soundDevice.PauseOutput(false);
    playback->SetFromMenu(directory != nullptr);
    playback->Start();
}

void ReplayMode::Frame(AppLoop& app, const FrameInput& input) {
    // From the menu, Enter leaves a replay that has ended as Escape does.
    const bool leave =
        directory != nullptr && playback->Ended() && (input.commands & ReplayCommandLeave) != 0;
    if ((input.commands & CommandEscape) != 0 || leave) {
        if (directory != nullptr) {
            app.SwitchTo(directory->Menu());
        } else {
            app.Quit(0);
        }
        return;
    }
    playback->Frame(app.Play(), input.commands, input.changes);
}

uint32_t ReplayMode::CommandsFrom(uint32_t message, uintptr_t wParam, intptr_t lParam) const {
    return ReplayCommandsFromMessage(message, wParam, lParam);
}
