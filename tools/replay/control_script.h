// Control scripts: the text kivoro_replay make reads and print writes, one
// frame's two control bytes per line.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "rules/frame_controls.h"

// Lines, each one of:
//   C1 C2            one frame: the first player's control byte, the second's
//   repeat N C1 C2   N frames of the same two bytes
//   (blank)
// A # starts a comment that runs to the end of its line. Numbers are decimal
// or 0x-hexadecimal; control bytes are 0 to 255.
//
// The most frames a script may give in all: more than two days of play.
inline constexpr uint64_t scriptMostFrames = 10'000'000;

// Appends the script's frames to frames. False, with "line N: what is wrong"
// in *error, at the first bad line; frames is then left empty.
bool ParseControlScript(std::istream& in, std::vector<FrameControls>& frames, std::string* error);
