// FrameControls: both players' control bytes for one frame, what scripts,
// replays and online play carry from frame to frame.
#pragma once

#include <cstdint>

struct FrameControls {
    uint8_t first = 0;   // the first player's control byte (fighters[0])
    uint8_t second = 0;  // the second player's (fighters[1])
    bool operator==(const FrameControls&) const = default;
};
