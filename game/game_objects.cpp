// Definitions of the game's global objects, in their construction order.
#include "game/game_objects.h"

AppWindow appWindow;
Screen screen;
InputDevice input;
SoundDevice soundDevice;
SoundBuffer blastSoundSecond;
SoundBuffer blastSoundFirst;
SoundBuffer chargeSoundA;
SoundBuffer chargeSoundB;
RleSprite dirtTiles[dirtTileCount];
RleSprite firstFighterFrames[firstFighterFrameCount];
RleSprite secondFighterFrames[secondFighterFrameCount];
RleSprite reticleSprite;
RleSprite blastSprites[blastSpriteCount];
TerrainField terrain;
Fighter fighters[fighterCount];
KiBlast blasts[blastPoolSize];
int32_t blastCount = 0;
BlastSpriteTable blastSpriteTable = {};
