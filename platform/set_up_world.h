// Loading the game's art and sounds and building the world, once, before the
// first frame.
#pragma once

// Takes the colour key from TORVIK.BMP, sets the whole-display clip, loads the
// four sounds, cuts all 96 sprites from their sheets and builds the world
// (terrain, spawns, craters). A file that cannot be read is named on standard
// error; the game runs on without it (its sprites draw nothing, its sound is
// not heard).
void SetUpWorld();
