// Running the world without display, sound or art: a fresh world from the
// random sequence's start and frames from a script of control bytes, digested
// as it goes (world_digest.h). Tests compare digests; benchmarks time frames.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/frame_controls.h"
#include "rules/world_digest.h"

// Puts the world's state back to what it is when the program starts: the random
// sequence at its start, the blast pool empty, both fighters unbuilt. The
// sprites and the terrain are left as they are.
void ClearWorld();

// Puts the world back to a fresh start, exactly as the game sets it up, except
// that the seven blast shapes are filled discs drawn in code (blastShapeRadius
// about the cell's blastCentre pixel) rather than cut from the art, so the world
// does not change when the art does: ClearWorld, the disc shapes, then
// BuildStartingField.
void ResetHeadlessWorld();

// Encodes the seven disc shapes into blastSprites.
void BuildBlastShapes();

// Runs frameCount frames from script (frameCount entries). After every
// digestEvery frames the full digest (DigestWorld) is stored in digests[k] for k = 0, 1, ... up to
// digestCapacity entries. Answers the number of digests stored.
int32_t RunScript(const FrameControls* script, int32_t frameCount, int32_t digestEvery,
                  uint64_t* digests, int32_t digestCapacity);
