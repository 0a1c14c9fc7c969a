// The controls as the players are told them: one table of both players' keys
// and the pad's buttons, and a few lines under it. The help overlay, --help
// and the README say the same, from here (a test holds the README to it).
#pragma once

#include <cstdint>
#include <cstdio>

#include "settings/key_bindings.h"

inline constexpr int32_t controlsHelpRows = 5;
inline constexpr int32_t controlsHelpColumns = 4;  // action, first player, second player, pad
inline constexpr int32_t controlsHelpNotes = 4;
inline constexpr int32_t controlsHelpCellSize = 64;

struct ControlsHelp {
    // Row 0 is the heading.
    char cells[controlsHelpRows + 1][controlsHelpColumns][controlsHelpCellSize];
    const char* notes[controlsHelpNotes];
};

// The table with the keys of these bindings, named as the settings file names
// them. Builds texts once; drawing them later allocates nothing.
void BuildControlsHelp(const KeyBindings& bindings, ControlsHelp& help);

// The pad's buttons for one control (an index into boundControls), short, as
// the controls screen lists them beside the keys: "D-pad or stick up", "A".
const char* ControlPadButtons(int32_t control);

// The table as plain text in aligned columns, then the notes, for --help.
void PrintControlsHelp(const ControlsHelp& help, FILE* out);
