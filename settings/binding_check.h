// Whether a key may drive a player's control, and why not: the same checks and
// the same words wherever a binding is asked for, in the settings file (named
// with its line) and on the controls screen (where a key is pressed).
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/key_bindings.h"

enum BindingVerdict : uint8_t {
    BindingFree,       // no other control has it: it may be bound
    BindingUnchanged,  // the control has it already
    BindingReserved,   // the game keeps it for itself (ReservedKeyUse)
    BindingTaken,      // another control, of either player, has it
    BindingNameless,   // the settings file could not keep it by name
};

struct BindingCheck {
    BindingVerdict verdict = BindingFree;
    // BindingTaken: whose control has the key.
    int32_t ownerPlayer = -1;
    int32_t ownerControl = -1;
};

// The check of giving key (a scan code) to player's control (an index into
// boundControls) over these bindings.
BindingCheck CheckBinding(const KeyBindings& bindings, int32_t player, int32_t control,
                          uint8_t key);

// "Escape quits, so no player can have it".
void DescribeReservedKey(uint8_t key, char* text, size_t size);
// "Space is already the first player's charge key; this binding is refused".
void DescribeTakenKey(uint8_t key, int32_t ownerPlayer, int32_t ownerControl, char* text,
                      size_t size);
// Why a check refused key, in those words ("" for a key it allows).
void DescribeRefusal(const BindingCheck& check, uint8_t key, char* text, size_t size);
// "the first player's", "the second player's".
const char* PlayerPossessive(int32_t player);
