// AggressorPlayer: a simple scripted opponent for measuring the computer
// player against something that is not itself. It always goes for the other
// fighter: turns to it, aims straight at it (no lead), flies at it, digging
// with small blasts when dirt is in the way, and from close by charges big
// blasts (30 to 60 ki, never so much that the release would kill it) and lets
// them go once its aim is on. It reads the world as it likes; it is a
// yardstick, not a player a person meets.
#pragma once

#include <cstdint>

#include "rules/control_source.h"

class AggressorPlayer : public ControlSource {
public:
    AggressorPlayer(int32_t fighterIndex, uint64_t seed);
    ~AggressorPlayer() override = default;

    uint8_t Controls(int32_t frame) override;

private:
    int32_t self;
    int32_t other;
    uint64_t state;
    int32_t chargeGoal = 0;
};
