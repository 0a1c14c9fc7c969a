// Definitions of the platform objects, in their construction order.
#include "platform/platform_objects.h"

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
