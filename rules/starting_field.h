// The field every game starts on: the terrain, both fighters at their spawn
// points with a crater around each, the scattered craters and the blast sprite
// table, built once the sprites are cut.
#pragma once

#include <cstdint>

inline constexpr int32_t fieldCells = 400;
inline constexpr int32_t scatteredCraterCount = 250;

// Generates the 400 x 400 terrain, sets both fighters' profiles, spawns the
// first then the second with their craters, scatters 250 random craters and
// fills blastSpriteTable. Every random number of the world's start is drawn
// here, in a fixed order, so the same sequence gives the same world.
void BuildStartingField();
