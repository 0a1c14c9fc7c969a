// The world as the game sets it up, for everything the rules read, with the
// game's own art but no window, sound or screen: what replays are made and
// verified in, and what online play's headless mode plays in.
#pragma once

#include <cstdint>
#include <string>

// What SetUpRulesWorld found of the art.
struct RulesArt {
    bool colourKeyRead = false;   // TORVIK.BMP gave the key (else FallbackColourKey)
    bool blastSheetRead = false;  // BLAST.BMP was read (else the shapes carve nothing)
    uint64_t artDigest = 0;       // ArtDigest of the shapes cut
};

// Puts the world back to the start the game sets up: ClearWorld, the colour
// key from TORVIK.BMP, the seven blast shapes cut from BLAST.BMP, then
// BuildStartingField. The files are found as the game finds them (AssetPath);
// a missing file is treated as the game treats it. The other sheets and the
// sounds are neither read nor needed. Prints nothing.
RulesArt SetUpRulesWorld();

// What a headless program says when BLAST.BMP was not read: where it looked,
// and that its matches are not the game's.
std::string MissingBlastSheetNote();
