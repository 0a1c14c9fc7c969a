// The world's clock: one world frame per tick, sixty ticks a second, and the
// rules digest that replays and online play both take after every sixtieth
// frame, so a replay of an online match carries the digests the two sides
// compared.
#pragma once

#include <cstdint>

inline constexpr int32_t worldFramesPerSecond = 60;
inline constexpr int32_t rulesDigestInterval = 60;
