// Running the world without display, sound or art: a fresh world from the
// random sequence's start and frames from a script of control bytes, digested
// as it goes (world_digest.h). Tests compare digests; benchmarks time frames.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/world_digest.h"

// Both players' control bytes for one frame.
struct FrameControls {
    uint8_t first = 0;
    uint8_t second = 0;
};

// Puts the world back to a fresh start, exactly as the game sets it up, except
// that the seven blast shapes are filled discs drawn in code (blastShapeRadius
// about the cell's blastCentre pixel) rather than cut from the art, so the world
// does not change when the art does. Restarts the random
// sequence, empties the blast pool and rebuilds both fighters.
void ResetHeadlessWorld();

// Encodes the seven disc shapes into blastSprites.
void BuildBlastShapes();

// Runs frameCount frames from script (frameCount entries). After every
// digestEvery frames the full digest (DigestWorld) is stored in digests[k] for k = 0, 1, ... up to
// digestCapacity entries. Answers the number of digests stored.
int32_t RunScript(const FrameControls* script, int32_t frameCount, int32_t digestEvery,
                  uint64_t* digests, int32_t digestCapacity);
