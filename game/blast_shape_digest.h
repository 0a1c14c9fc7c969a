// The digest of the art the rules depend on: what carving reads of the seven
// blast shapes. Two games whose digests differ dig different tunnels from the
// same inputs, so online play (and replays) refuse to mix them.
#pragma once

#include <cstdint>

// A 64-bit FNV-1a digest of each blastSprites entry's size and of the cells it
// clears when carved into a grid of its own size, entry by entry. Pixel colours
// do not count: only which pixels are opaque does, as for the carving itself.
uint64_t DigestBlastShapes();
