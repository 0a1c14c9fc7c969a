// ReplayMode: a recorded match shown again (ReplayPlayback) in the game's
// window. The players' keys play no part; Space pauses as P does, ] and [
// change the speed, Home starts it again, Left and Right seek ten seconds
// back and on, Escape ends the program (started from the title menu: goes
// back to it, as Enter does once the replay has ended).
#pragma once

#include <memory>

#include "app/mode.h"
#include "app/mode_directory.h"
#include "app/replay_playback.h"

class ReplayMode : public Mode {
public:
    // playback has been loaded (ReplayPlayback::Load); directory, when given,
    // is the menu's.
    explicit ReplayMode(std::unique_ptr<ReplayPlayback> playback,
                        ModeDirectory* directory = nullptr);

    void Enter(AppLoop& app) override;
    void Frame(AppLoop& app, const FrameInput& input) override;
    void Leave(AppLoop&) override {}
    uint32_t CommandsFrom(uint32_t message, uintptr_t wParam, intptr_t lParam) const override;

private:
    std::unique_ptr<ReplayPlayback> playback;
    ModeDirectory* directory = nullptr;
};
