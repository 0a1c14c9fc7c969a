// The binding checks and their words.
#include "settings/binding_check.h"

#include <cstdio>

#include "settings/setting_rows.h"

namespace {

constexpr const char* playerWords[playerCount] = {"the first player's", "the second player's"};

}  // namespace

const char* PlayerPossessive(int32_t player) {
    return player >= 0 && player < playerCount ? playerWords[player] : "a player's";
}

BindingCheck CheckBinding(const KeyBindings& bindings, int32_t player, int32_t control,
                          uint8_t key) {
    BindingCheck check;
    if (ReservedKeyUse(key) != nullptr) {
        check.verdict = BindingReserved;
        return check;
    }
    if (key == 0 || KeyFromFileName(KeyNameForFile(key)) != key) {
        check.verdict = BindingNameless;
        return check;
    }
    for (int32_t p = 0; p < playerCount; ++p) {
        for (int32_t c = 0; c < controlCount; ++c) {
            if (bindings.keys[p][c] != key) {
                continue;
            }
            if (p == player && c == control) {
                check.verdict = BindingUnchanged;
                return check;
            }
            check.verdict = BindingTaken;
            check.ownerPlayer = p;
            check.ownerControl = c;
        }
    }
    return check;
}

void DescribeReservedKey(uint8_t key, char* text, size_t size) {
    const char* use = ReservedKeyUse(key);
    std::snprintf(text, size, "%s %s, so no player can have it", KeyNameForFile(key),
                  use != nullptr ? use : "is free");
}

void DescribeTakenKey(uint8_t key, int32_t ownerPlayer, int32_t ownerControl, char* text,
                      size_t size) {
    const char* control = ownerControl >= 0 && ownerControl < controlCount
                              ? ControlName(boundControls[ownerControl])
                              : "?";
    std::snprintf(text, size, "%s is already %s %s key; this binding is refused",
                  KeyNameForFile(key), PlayerPossessive(ownerPlayer), control);
}

void DescribeRefusal(const BindingCheck& check, uint8_t key, char* text, size_t size) {
    switch (check.verdict) {
        case BindingReserved:
            DescribeReservedKey(key, text, size);
            break;
        case BindingTaken:
            DescribeTakenKey(key, check.ownerPlayer, check.ownerControl, text, size);
            break;
        case BindingNameless:
            std::snprintf(text, size, "this key has no name the settings file knows");
            break;
        default:
            if (size > 0) {
                text[0] = '\0';
            }
            break;
    }
}
