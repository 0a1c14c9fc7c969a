// Which key drives which control of each player, the keys the game keeps for
// itself (pause, help, volume, window, quit), and the control bytes the keys
// make.
#pragma once

#include <cstdint>

#include "rules/fighter.h"

inline constexpr int32_t playerCount = 2;
// The six controls of a player, in the order the settings file, the help and
// the bindings list them.
inline constexpr int32_t controlCount = 6;
inline constexpr uint8_t boundControls[controlCount] = {
    ControlUp, ControlDown, ControlLeft, ControlRight, ControlTurn, ControlCharge,
};

struct KeyBindings {
    // Scan codes (engine/input/scan_codes.h) by player, then by the order of
    // boundControls.
    uint8_t keys[playerCount][controlCount];
};

// The keys of the design: W S A D V Space and the arrows, Right Shift, Return.
KeyBindings DefaultKeyBindings();

// Keys that belong to no player: Escape, P, F1, M, minus, equals (and their
// keypad twins), F11 and both Alt keys. Their job, for messages ("pauses").
// Null for a key that is free to bind.
const char* ReservedKeyUse(uint8_t scanCode);

// The settings file's and the help's word for a control: "up", "down",
// "left", "right", "turn", "charge". Null for a bit that is no single control.
const char* ControlName(uint8_t control);
// The index in boundControls of a control name (any case), -1 for none.
int32_t ControlIndexFromName(const char* name);

// The control byte of player 0 or 1 from the key state array (256 entries by
// scan code): a key counts as held when its entry is non-zero.
uint8_t ControlsFromKeys(const KeyBindings& bindings, const uint8_t* keys, int32_t player);
// The same with the default bindings.
uint8_t ControlsFromKeys(const uint8_t* keys, int32_t player);
