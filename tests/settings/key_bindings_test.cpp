// The default key table: each player's six keys by scan code, read independently.
#include <gtest/gtest.h>

#include <cstdint>

#include "rules/fighter.h"
#include "settings/key_bindings.h"

namespace {

struct KeyCase {
    uint8_t scanCode;
    int32_t player;
    uint8_t control;
};

// Scan codes written out as numbers, so a misnamed constant shows up here.
constexpr KeyCase keyCases[] = {
    {0x11, 0, ControlUp},    {0x1F, 0, ControlDown}, {0x1E, 0, ControlLeft},
    {0x20, 0, ControlRight}, {0x2F, 0, ControlTurn}, {0x39, 0, ControlCharge},
    {0xC8, 1, ControlUp},    {0xD0, 1, ControlDown}, {0xCB, 1, ControlLeft},
    {0xCD, 1, ControlRight}, {0x36, 1, ControlTurn}, {0x1C, 1, ControlCharge},
};

TEST(KeyTable, EachKeySetsOneBitOfItsOwnPlayerOnly) {
    for (const KeyCase& key : keyCases) {
        uint8_t keys[256] = {};
        keys[key.scanCode] = 0x80;
        EXPECT_EQ(ControlsFromKeys(keys, key.player), key.control) << int{key.scanCode};
        EXPECT_EQ(ControlsFromKeys(keys, 1 - key.player), 0) << int{key.scanCode};
    }
    // Any non-zero entry counts as held; all twelve at once give both full bytes.
    uint8_t keys[256] = {};
    for (const KeyCase& key : keyCases) {
        keys[key.scanCode] = 1;
    }
    keys[0x01] = 0x80;  // Escape acts through the window procedure, not here
    EXPECT_EQ(ControlsFromKeys(keys, 0), 0x3F);
    EXPECT_EQ(ControlsFromKeys(keys, 1), 0x3F);
}

}  // namespace
