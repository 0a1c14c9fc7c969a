// Definitions of the world's objects, in their construction order.
#include "rules/world_state.h"

RleSprite blastSprites[blastSpriteCount];
TerrainField terrain;
Fighter fighters[fighterCount];
KiBlast blasts[blastPoolSize];
int32_t blastCount = 0;
BlastSpriteTable blastSpriteTable = {};
FrameEvents frameEvents;
