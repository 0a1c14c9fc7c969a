// Building the world once the sprites are cut: the terrain, both fighters at
// their spawn points with a crater around each, the random craters and the
// blast sprite table.
#pragma once

#include <cstdint>

class Fighter;

inline constexpr int32_t fieldCells = 400;
inline constexpr int32_t scatteredCraterCount = 250;

// Spawns the fighter and opens a crater (blastSprites entry 4) around the cell
// under its sprite's centre, so the spawn point is open. Used at set-up and for
// every respawn after a death.
void SpawnWithCrater(Fighter& fighter);

// Generates the 400 x 400 terrain, sets both fighters' profiles, spawns the
// first then the second with their craters, scatters 250 random craters and
// fills blastSpriteTable. Every random number of the world's start is drawn
// here, in a fixed order, so the same sequence gives the same world.
void BuildWorld();
