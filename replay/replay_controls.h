// ReplayControls: one player's control bytes as a replay recorded them.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/control_source.h"
#include "rules/frame_controls.h"

class ReplayControls : public ControlSource {
public:
    // player 0 is the first fighter, 1 the second. frames must outlive this.
    ReplayControls(const std::vector<FrameControls>& frames, int32_t player)
        : frames(frames), player(player) {}

    // The recorded byte for the frame; 0 past the replay's end.
    uint8_t Controls(int32_t frame) override {
        if (frame < 0 || static_cast<size_t>(frame) >= frames.size()) {
            return 0;
        }
        const FrameControls& recorded = frames[static_cast<size_t>(frame)];
        return player == 0 ? recorded.first : recorded.second;
    }

private:
    const std::vector<FrameControls>& frames;
    int32_t player;
};
