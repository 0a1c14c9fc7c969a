// The final line: one line of text on the world's state after a run, printed
// by the replay tool's verify and by online play's headless mode, so that two
// runs can be compared with a plain text comparison.
#pragma once

#include <cstdint>
#include <string>

// "final: FRAME X1 Y1 STATE1 HEALTH1 KI1 DEATHS1 X2 Y2 STATE2 HEALTH2 KI2
// DEATHS2 BLASTS": frame, then for the first fighter and the second its
// position, state, health, ki and deaths, then blastCount; decimal integers
// one space apart, no newline.
std::string FinalLine(uint32_t frame);

// Each player's kills in the world as it stands (first, second): a fighter's
// deaths are the other player's kills.
struct WorldKills {
    uint32_t first = 0;
    uint32_t second = 0;
};
WorldKills CountWorldKills();
