// Loading the game's art and sounds, once a process, and setting the world
// up for a match: every match starts from the same world, the first of a run
// and the tenth alike.
#pragma once

// Takes the colour key from TORVIK.BMP, sets the whole-display clip, loads the
// four sounds and cuts all 96 sprites from their sheets, bound to the screen.
// A file that cannot be read is named on standard error; the game runs on
// without it (its sprites draw nothing, its sound is not heard). Done once:
// later calls do nothing, unless the blast shapes were cut again meanwhile
// for the rules alone (SetUpRulesWorld), when everything is loaded afresh.
void LoadArt();

// The files the last LoadArt could not read or use, "DIRT.BMP, EDIT.WAV";
// empty when all was well.
const char* ArtProblem();

// Whether LoadArt has loaded the art for drawing, and it is still in place.
bool ArtLoaded();

// The world as a new match starts it: the art loaded (LoadArt), the world
// cleared (the random sequence at its start, no blast in flight, both
// fighters unbuilt, nothing heard) and the starting field built (terrain,
// spawns, craters).
void SetUpWorld();
