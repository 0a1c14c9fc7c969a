// The art digest: what the rules read from the art, digested so that a replay
// or an online peer can tell whether it runs on the same art.
#pragma once

#include <cstdint>

class RleSprite;

// The rules read the art only through the seven blast shapes carved into the
// terrain, and of those only which pixels are opaque (the colour key decided
// that when they were encoded); the colours never reach the rules. So this is
// a 64-bit FNV-1a digest of the opaque pixels of count shapes, made from the
// runs the carving walks, independent of the pixel layout and of the colours:
//   for each shape: width, height (uint32 each, little-endian), then for each
//   row from the top: the number of opaque runs in it, then each run's first
//   column and length (uint32 each), a run being a maximal stretch of opaque
//   pixels inside the shape's width.
// A shape that was never loaded carves nothing, and digests as a shape of its
// bound size with no opaque pixel.
uint64_t DigestCarveShapes(const RleSprite* shapes, int32_t count);

// DigestCarveShapes of the seven blastSprites: the replay header's art digest.
uint64_t ArtDigest();
