// One frame of the game's rules, without input or drawing: both fighters act on
// their control bytes, every blast flies and digs, both cameras follow.
#pragma once

#include <cstdint>

// The first fighter's Update with firstControls, then the second's with
// secondControls, then the flight of every blast, then both cameras. The frame
// loop calls it between reading the keys and drawing; the headless harness calls
// it with scripted control bytes.
void StepWorld(uint8_t firstControls, uint8_t secondControls);
