// One pass of the frame loop once the window's message and the input are in:
// the comfort commands, the rules unless the world stands still, the picture.
#pragma once

#include <cstdint>

#include "app/play_state.h"

class MatchRecorder;

// Applies the commands to state (sound follows the volume, and stops and goes
// on with the world), then steps the world with the two control bytes and
// draws the frame, or, while the world stands still, keeps and covers the
// frame it stopped on, redrawn only when what covers it changes. Every world
// frame stepped is recorded by recorder when one is given, and only those: a
// pause or the help leaves no frame in the replay. Answers the PlayChange
// bits; the window mode and the settings file are the caller's.
uint32_t PlayFrame(PlayState& state, uint32_t commands, uint8_t firstControls,
                   uint8_t secondControls, MatchRecorder* recorder = nullptr);
