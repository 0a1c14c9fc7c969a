// One display frame of a match once the comforts are applied: the world
// stepped unless it stands still, and the picture.
#pragma once

#include <cstdint>

#include "app/overlay_view.h"
#include "app/play_state.h"

class Match;

// Applies a frame's comfort commands to state (play_state.h) and lets the
// sound follow the volume. Answers the PlayChange bits. The application
// loop does this once a frame for the commands its mode takes.
uint32_t ApplyComforts(PlayState& state, uint32_t commands);

// Acts on what the comforts changed (the sounds stop and go on with the
// world), then steps the match one frame and draws it, or, while the world
// stands still, keeps and covers the frame it stopped on, redrawn only when
// what covers it changes. A pause or the help leaves no frame in the replay.
// pausedText is the line a pause shows.
void PlayFrame(const PlayState& state, uint32_t changes, Match& match,
               const char* pausedText = pausedLine);
