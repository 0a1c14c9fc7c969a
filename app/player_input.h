// Where each player's control byte comes from: the keys bound to the player
// and, when the player holds one, a gamepad, both at once. The rules only see
// the control bytes. Also which pad belongs to which player as pads come and
// go, the pads' Start button, and the rumble of a player who is hit.
#pragma once

#include <cstdint>

#include "engine/input/gamepad_set.h"
#include "rules/fighter.h"
#include "settings/key_bindings.h"

// The stick counts as pushed beyond a quarter of its travel either way; a
// stick held diagonally pushes both of its axes that far and acts as both keys.
inline constexpr int32_t stickDeadZone = 32768 / 4;

// The control byte a pad's state stands for: d-pad or left stick for the four
// directions, A (the bottom face button) charges, B (the right one) or either
// shoulder turns.
uint8_t ControlsFromPad(const PadState& pad);

class PlayerInput {
public:
    static constexpr int32_t noPad = -1;
    static constexpr uint16_t rumbleStrength = 0xC000;
    static constexpr uint32_t rumbleMilliseconds = 200;

    PlayerInput() = default;
    virtual ~PlayerInput() = default;

    // One frame's reading.
    struct Frame {
        uint8_t controls[playerCount] = {};
        bool startPressed = false;  // a player's pad had Start pressed: pause or continue
    };

    void SetBindings(const KeyBindings& newBindings) { bindings = newBindings; }

    // Reads the key state (256 entries by scan code) and the pads' last poll.
    // A key that went down while an Alt key was held is no game key until it
    // is let go, so Alt+Enter never charges and the Enter still held after the
    // window switch does not either. Pads are given to players in the order
    // they were plugged in; a pad pulled out hands its player back to the keys
    // alone; Start on a spare pad takes a player left without a pad.
    Frame Read(const uint8_t* keys, const GamePadSet& pads);

    // A short rumble on the pad of each player whose fighter was hit since the
    // last call (its stun timer rose), where that pad has motors.
    void RumbleOnHits(GamePadSet& pads, const Fighter* fighters);
    // Keys and pad buttons held now count for no player until they are let
    // go: the Enter or the pad's A that started a match from a menu does
    // not charge in its first frames.
    void HoldBack();

    // Takes the fighters' stun as it is now, so a new match's first frames
    // rumble for nothing that happened before them.
    void ForgetHits(const Fighter* fighters);

    // The slot of the pad each player holds, noPad for the keys alone.
    int32_t padSlot[playerCount] = {noPad, noPad};
    uint32_t padSerial[playerCount] = {};

private:
    int32_t FreePlayer() const;

    KeyBindings bindings = DefaultKeyBindings();
    uint8_t previousKeys[256] = {};
    bool swallowed[256] = {};
    uint8_t gameKeys[256] = {};  // the key state less the swallowed keys
    // Per slot: the serial of the pad last seen there and its buttons then.
    uint32_t slotSerial[GamePadSet::maxPads] = {};
    uint32_t previousButtons[GamePadSet::maxPads] = {};
    uint32_t heldBackButtons[GamePadSet::maxPads] = {};
    uint32_t newestSerial = 0;  // the newest pad already given its chance to join
    uint8_t lastStun[playerCount] = {};
};
