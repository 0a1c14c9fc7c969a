// The starting field: terrain, profiles, spawn craters, scattered craters.
#include "rules/starting_field.h"

#include "rules/blast_sprite_table.h"
#include "rules/next_random.h"
#include "rules/world_state.h"

void BuildStartingField() {
    terrain.Generate(fieldCells, fieldCells);
    fighters[0].SetProfile(1);
    fighters[1].SetProfile(2);
    fighters[0].SpawnWithCrater();
    fighters[1].SpawnWithCrater();
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
