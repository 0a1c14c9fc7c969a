// The default key table, the reserved keys and the keys-to-control-byte step.
#include "settings/key_bindings.h"

#include <strings.h>

#include "engine/input/scan_codes.h"

namespace {

struct ReservedKey {
    uint8_t scanCode;
    const char* use;
};

// Escape acts through the window procedure; the others are the comforts the
// game offers around the rules. None of them may drive a fighter.
constexpr ReservedKey reservedKeys[] = {
    {ScanCodeEscape, "quits"},
    {ScanCodeP, "pauses"},
    {ScanCodeF1, "shows the help"},
    {ScanCodeM, "mutes the sound"},
    {ScanCodeMinus, "turns the volume down"},
    {ScanCodeKeypadMinus, "turns the volume down"},
    {ScanCodeEquals, "turns the volume up"},
    {ScanCodeKeypadPlus, "turns the volume up"},
    {ScanCodeF11, "switches between window and full screen"},
    {ScanCodeLeftAlt, "is kept for Alt combinations"},
    {ScanCodeRightAlt, "is kept for Alt combinations"},
};

constexpr const char* controlNames[controlCount] = {"up",    "down", "left",
                                                    "right", "turn", "charge"};

constexpr KeyBindings defaultBindings = {{
    {ScanCodeW, ScanCodeS, ScanCodeA, ScanCodeD, ScanCodeV, ScanCodeSpace},
    {ScanCodeUp, ScanCodeDown, ScanCodeLeft, ScanCodeRight, ScanCodeRightShift, ScanCodeReturn},
}};

}  // namespace

KeyBindings DefaultKeyBindings() {
    return defaultBindings;
}

const char* ReservedKeyUse(uint8_t scanCode) {
    for (const ReservedKey& key : reservedKeys) {
        if (key.scanCode == scanCode) {
            return key.use;
        }
    }
    return nullptr;
}

const char* ControlName(uint8_t control) {
    for (int32_t i = 0; i < controlCount; ++i) {
        if (boundControls[i] == control) {
            return controlNames[i];
        }
    }
    return nullptr;
}

int32_t ControlIndexFromName(const char* name) {
    for (int32_t i = 0; name != nullptr && i < controlCount; ++i) {
        if (strcasecmp(name, controlNames[i]) == 0) {
            return i;
        }
    }
    return -1;
}

uint8_t ControlsFromKeys(const KeyBindings& bindings, const uint8_t* keys, int32_t player) {
    uint8_t controls = 0;
    for (int32_t i = 0; i < controlCount; ++i) {
        if (keys[bindings.keys[player][i]] != 0) {
            controls |= boundControls[i];
        }
    }
    return controls;
}

uint8_t ControlsFromKeys(const uint8_t* keys, int32_t player) {
    return ControlsFromKeys(defaultBindings, keys, player);
}
