// PlayerInput: keys and pads to control bytes, pads to players, rumble.
#include "app/player_input.h"

#include "engine/input/scan_codes.h"
#include "platform/platform_objects.h"

static_assert(playerCount == fighterCount, "one player per fighter");

uint8_t ControlsFromPad(const PadState& pad) {
    const uint32_t held = pad.buttons;
    uint8_t controls = 0;
    if ((held & PadButtonDpadUp) != 0 || pad.leftY <= -stickDeadZone) {
        controls |= ControlUp;
    }
    if ((held & PadButtonDpadDown) != 0 || pad.leftY >= stickDeadZone) {
        controls |= ControlDown;
    }
    if ((held & PadButtonDpadLeft) != 0 || pad.leftX <= -stickDeadZone) {
        controls |= ControlLeft;
    }
    if ((held & PadButtonDpadRight) != 0 || pad.leftX >= stickDeadZone) {
        controls |= ControlRight;
    }
    if ((held & PadButtonA) != 0) {
        controls |= ControlCharge;
    }
    if ((held & (PadButtonB | PadButtonLeftShoulder | PadButtonRightShoulder)) != 0) {
        controls |= ControlTurn;
    }
    return controls;
}

int32_t PlayerInput::FreePlayer() const {
    for (int32_t player = 0; player < playerCount; ++player) {
        if (padSlot[player] == noPad) {
            return player;
        }
    }
    return -1;
}

PlayerInput::Frame PlayerInput::Read(const uint8_t* keys, const GamePadSet& pads) {
    Frame frame;
    const bool altHeld = keys[ScanCodeLeftAlt] != 0 || keys[ScanCodeRightAlt] != 0;
    for (int32_t code = 0; code < 256; ++code) {
        const bool down = keys[code] != 0;
        if (!down) {
            swallowed[code] = false;
        } else if (previousKeys[code] == 0 && altHeld) {
            swallowed[code] = true;
        }
        previousKeys[code] = keys[code];
        gameKeys[code] = swallowed[code] ? 0 : keys[code];
    }

    // A player whose pad left its slot (pulled out, perhaps replaced) has none.
    for (int32_t player = 0; player < playerCount; ++player) {
        const int32_t slot = padSlot[player];
        if (slot != noPad && pads.pads[slot].serial != padSerial[player]) {
            padSlot[player] = noPad;
            padSerial[player] = 0;
        }
    }
    // Pads new since the last read join free players, oldest first.
    for (;;) {
        int32_t oldest = noPad;
        for (int32_t slot = 0; slot < GamePadSet::maxPads; ++slot) {
            const uint32_t serial = pads.pads[slot].serial;
            if (serial > newestSerial && (oldest == noPad || serial < pads.pads[oldest].serial)) {
                oldest = slot;
            }
        }
        if (oldest == noPad) {
            break;
        }
        newestSerial = pads.pads[oldest].serial;
        if (const int32_t player = FreePlayer(); player >= 0) {
            padSlot[player] = oldest;
            padSerial[player] = newestSerial;
        }
    }
    for (int32_t slot = 0; slot < GamePadSet::maxPads; ++slot) {
        const PadState& pad = pads.pads[slot];
        if (pad.serial != slotSerial[slot]) {
            slotSerial[slot] = pad.serial;
            previousButtons[slot] = 0;
        }
        const bool startPressed =
            (pad.buttons & PadButtonStart) != 0 && (previousButtons[slot] & PadButtonStart) == 0;
        previousButtons[slot] = pad.buttons;
        // A held-back button counts again once it was let go.
        heldBackButtons[slot] &= pad.buttons;
        if (pad.serial == 0 || !startPressed) {
            continue;
        }
        int32_t owner = -1;
        for (int32_t player = 0; player < playerCount; ++player) {
            if (padSlot[player] == slot) {
                owner = player;
            }
        }
        if (owner >= 0) {
            frame.startPressed = true;
        } else if (const int32_t player = FreePlayer(); player >= 0) {
            padSlot[player] = slot;
            padSerial[player] = pad.serial;
        }
    }

    for (int32_t player = 0; player < playerCount; ++player) {
        frame.controls[player] = ControlsFromKeys(bindings, gameKeys, player);
        if (padSlot[player] != noPad) {
            PadState pad = pads.pads[padSlot[player]];
            pad.buttons &= ~heldBackButtons[padSlot[player]];
            frame.controls[player] |= ControlsFromPad(pad);
        }
    }
    return frame;
}

void PlayerInput::RumbleOnHits(GamePadSet& pads, const Fighter* fighters) {
    for (int32_t player = 0; player < playerCount; ++player) {
        const uint8_t stun = fighters[player].stunTimer;
        if (stun > lastStun[player] && padSlot[player] != noPad) {
            pads.Rumble(padSlot[player], rumbleStrength, rumbleMilliseconds);
        }
        lastStun[player] = stun;
    }
}

void PlayerInput::ForgetHits(const Fighter* fighters) {
    for (int32_t player = 0; player < playerCount; ++player) {
        lastStun[player] = fighters[player].stunTimer;
    }
}

void PlayerInput::HoldBack() {
    for (int32_t code = 0; code < 256; ++code) {
        if (previousKeys[code] != 0) {
            swallowed[code] = true;
        }
    }
    for (int32_t slot = 0; slot < GamePadSet::maxPads; ++slot) {
        heldBackButtons[slot] = previousButtons[slot];
    }
}
