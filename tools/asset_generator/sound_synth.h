// The game's three sounds, synthesised: each fighter's release and the charge.
#pragma once

#include <vector>

// The first fighter's release: a deep, punchy roar with a falling thump.
std::vector<float> SynthesiseHeavyRelease();
// The second fighter's release: a thin, sizzling zap that falls from high pitch.
std::vector<float> SynthesiseSharpRelease();
// The charge: a hum that rises in pitch and intensity over two seconds, the time
// a full charge takes.
std::vector<float> SynthesiseChargeHum();
