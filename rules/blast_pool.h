// The blast pool's operations: hit search, removal and the per-frame flight of
// every blast in flight. Slots 0 .. blastCount - 1 of blasts are in flight, in no
// particular order.
#pragma once

#include <cstdint>

inline constexpr int32_t blastPoolSize = 200;

// Centre distance below which a blast of each size hits (blastSizeTable); 0,
// so never a hit, for a size outside 0..3.
int32_t BlastHitDistance(int32_t size);

// The slot of the other player's blast within reach of the fighter whose
// sprite's top-left is (fx, fy), or -1. firstPlayer is 1 for the first fighter.
// When several are within reach the highest slot wins.
int32_t FindHittingBlast(int32_t fx, int32_t fy, uint8_t firstPlayer);

// Frees slot i by moving the last blast in flight into it (the last slot is
// copied onto itself). Constant time; the order of blasts changes. Slots outside
// 0 .. blastCount - 1 are left alone.
void RemoveBlast(int32_t i);

// One frame of flight: every blast moves once; one that left the field is
// removed, every other one carves its size's shape into the terrain around its
// centre cell. A blast moved into a freed slot waits for the next frame.
void AdvanceBlasts();
