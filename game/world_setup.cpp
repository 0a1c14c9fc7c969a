// The world's start: terrain, profiles, spawn craters, scattered craters.
#include "game/world_setup.h"

#include "game/blast_sprite_table.h"
#include "game/game_objects.h"
#include "game/next_random.h"

namespace {

// The blastSprites entry stamped around every spawn point.
constexpr int32_t spawnCraterSprite = 4;

}  // namespace

void SpawnWithCrater(Fighter& fighter) {
    fighter.Spawn();
    // Centred on the cell under the fighter's centre.
    const int32_t centre = fighterSize / 2;
    terrain.Carve((fighter.x + centre) / cellPixels, (fighter.y + centre) / cellPixels,
                  blastSprites[spawnCraterSprite]);
}

void BuildWorld() {
    terrain.Generate(fieldCells, fieldCells);
    fighters[0].SetProfile(1);
    fighters[1].SetProfile(2);
    SpawnWithCrater(fighters[0]);
    SpawnWithCrater(fighters[1]);
    // Craters are stamped in cell units: each opaque pixel clears one cell. The
    // numbers are drawn shape first, then row, then column.
    for (int32_t k = 0; k < scatteredCraterCount; ++k) {
        const int32_t shape = NextRandomBelow(blastSpriteCount);
        const int32_t row = NextRandomBelow(terrain.height);
        const int32_t column = NextRandomBelow(terrain.width);
        terrain.Carve(column, row, blastSprites[shape]);
    }
    FillBlastSpriteTable();
}
