// The controls table's words and the key names put into it.
#include "settings/controls_help.h"

#include <algorithm>
#include <cstring>

#include "engine/input/scan_codes.h"

namespace {

struct RowWords {
    const char* action;
    // Index in boundControls of the key, or of the two keys "first / second";
    // -1 where the row has no bound key (pause: the same key for both).
    int32_t firstControl;
    int32_t secondControl;
    const char* fixedKey;  // the key when the row has no bound one
    const char* pad;
};

constexpr RowWords rowWords[controlsHelpRows] = {
    {"Aim up / down", 0, 1, nullptr, "D-pad or left stick up / down"},
    {"Fly left / right", 2, 3, nullptr, "D-pad or left stick left / right"},
    {"Turn around", 4, -1, nullptr, "B (circle) or a shoulder button"},
    {"Charge ki, let go to fire", 5, -1, nullptr, "A (cross)"},
    {"Pause / continue", -1, -1, "P", "Start"},
};

constexpr const char* notes[controlsHelpNotes] = {
    "Left or right toward the aim flies on; the other way stops, and pressed again flies back.",
    "F1 help, M mute, - and = volume, Alt+Enter or F11 window, Esc quits.",
    "Pads join in the order they are plugged in; Start on a spare pad takes a free player.",
    "The title menu (kivoro --menu, or ./play.sh) starts every match and holds the settings.",
};

// As ControlsFromPad reads a pad, by control.
constexpr const char* padButtons[controlCount] = {
    "D-pad or stick up",    "D-pad or stick down", "D-pad or stick left",
    "D-pad or stick right", "B or a shoulder",     "A",
};

void KeyCell(char* cell, const KeyBindings& bindings, int32_t player, const RowWords& row) {
    if (row.firstControl < 0) {
        std::snprintf(cell, controlsHelpCellSize, "%s", row.fixedKey);
    } else if (row.secondControl < 0) {
        std::snprintf(cell, controlsHelpCellSize, "%s",
                      ScanCodeName(bindings.keys[player][row.firstControl]));
    } else {
        std::snprintf(cell, controlsHelpCellSize, "%s / %s",
                      ScanCodeName(bindings.keys[player][row.firstControl]),
                      ScanCodeName(bindings.keys[player][row.secondControl]));
    }
}

}  // namespace

void BuildControlsHelp(const KeyBindings& bindings, ControlsHelp& help) {
    const char* heading[controlsHelpColumns] = {"Action", "First player (left)",
                                                "Second player (right)", "Gamepad"};
    for (int32_t column = 0; column < controlsHelpColumns; ++column) {
        std::snprintf(help.cells[0][column], controlsHelpCellSize, "%s", heading[column]);
    }
    for (int32_t row = 0; row < controlsHelpRows; ++row) {
        char(&cells)[controlsHelpColumns][controlsHelpCellSize] = help.cells[row + 1];
        std::snprintf(cells[0], controlsHelpCellSize, "%s", rowWords[row].action);
        KeyCell(cells[1], bindings, 0, rowWords[row]);
        KeyCell(cells[2], bindings, 1, rowWords[row]);
        std::snprintf(cells[3], controlsHelpCellSize, "%s", rowWords[row].pad);
    }
    for (int32_t i = 0; i < controlsHelpNotes; ++i) {
        help.notes[i] = notes[i];
    }
}

const char* ControlPadButtons(int32_t control) {
    return control >= 0 && control < controlCount ? padButtons[control] : "";
}

void PrintControlsHelp(const ControlsHelp& help, FILE* out) {
    size_t widths[controlsHelpColumns] = {};
    for (const auto& row : help.cells) {
        for (int32_t column = 0; column < controlsHelpColumns; ++column) {
            widths[column] = std::max(widths[column], std::strlen(row[column]));
        }
    }
    for (const auto& row : help.cells) {
        std::fprintf(out, " ");
        for (int32_t column = 0; column < controlsHelpColumns; ++column) {
            const bool last = column == controlsHelpColumns - 1;
            std::fprintf(out, " %-*s", last ? 0 : static_cast<int>(widths[column]), row[column]);
        }
        std::fprintf(out, "\n");
    }
    for (const char* note : help.notes) {
        std::fprintf(out, "  %s\n", note);
    }
}
