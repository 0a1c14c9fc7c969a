// ReplayMode: a recorded match shown again (ReplayPlayback) in the game's
// window. The players' keys play no part; Space pauses as P does, ] and [
// change the speed, Escape ends the program.
#pragma once

#include <memory>

#include "app/mode.h"
#include "app/replay_playback.h"

class ReplayMode : public Mode {
public:
    // playback has been loaded (ReplayPlayback::Load).
    explicit ReplayMode(std::unique_ptr<ReplayPlayback> playback);

    void Enter(AppLoop& app) override;
    void Frame(AppLoop& app, const FrameInput& input) override;
    void Leave(AppLoop&) override {}
    uint32_t CommandsFrom(uint32_t message, uintptr_t wParam, intptr_t lParam) const override;

private:
    std::unique_ptr<ReplayPlayback> playback;
};
