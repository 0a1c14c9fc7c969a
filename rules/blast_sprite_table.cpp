// Filling the blast sprite table.
#include "rules/blast_sprite_table.h"

#include "rules/world_state.h"

void FillBlastSpriteTable() {
    for (int32_t size = 0; size < blastSizeCount; ++size) {
        blastSpriteTable.drawSprite[size] = blastSizeTable[size].drawSprite;
        blastSpriteTable.carveSprite[size] = blastSizeTable[size].carveSprite;
    }
}
