// ControlSource: where one player's control byte comes from, frame by frame.
// A player at the keyboard or a pad, a script, a replay, the other side of an
// online match and a computer player are all sources of the same byte, and
// nothing else about a player reaches the rules.
#pragma once

#include <cstdint>

class ControlSource {
public:
    virtual ~ControlSource() = default;

    // The byte for world frame `frame` (0 for a match's first), asked once
    // for each frame, in order, just before the frame is stepped. Bits beyond
    // the six controls are ignored by the rules but kept by replays.
    virtual uint8_t Controls(int32_t frame) = 0;
};
