// Where the game finds its art and sound files: the working directory first,
// then the folder of the executable, then the installed data folder beside it.
#pragma once

#include <string>

// The path to open for one of the game's asset files (a bare name such as
// "DIRT.BMP"). When the file is in none of the places, the bare name comes
// back, so the caller's open fails as it would have.
std::string AssetPath(const char* name);

// The folders searched after the working directory, for messages.
std::string AssetSearchFolders();
