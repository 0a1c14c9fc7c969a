// LocalInput: the players at this machine. The keyboard and the pads, read
// once a display frame into both players' control bytes (PlayerInput), and
// the ControlSource each player's fighter takes its bytes from.
#pragma once

#include <cstdint>

#include "app/player_input.h"
#include "engine/input/gamepad_set.h"
#include "rules/control_source.h"
#include "settings/key_bindings.h"

class LocalInput {
public:
    LocalInput() = default;
    LocalInput(const LocalInput&) = delete;
    LocalInput& operator=(const LocalInput&) = delete;
    virtual ~LocalInput() = default;

    // Opens the pads and takes the players' key bindings.
    void Open(const KeyBindings& bindings);
    // Polls the keyboard and the pads and reads both players' bytes.
    const PlayerInput::Frame& Read();
    // Nothing held this frame: the window has no focus, so no key may count.
    void Clear() { last = PlayerInput::Frame(); }
    // The last reading.
    const PlayerInput::Frame& Last() const { return last; }
    // The key state of the last reading: 256 entries by scan code
    // (engine/input/scan_codes.h), non-zero while down.
    const uint8_t* Keys() const;

    // A short rumble on the pad of each player whose fighter was hit.
    void RumbleOnHits();
    // A new match: nobody counts as hit by what happened before it, and
    // what is held now (the key that chose it) plays no part until let go.
    void StartMatch();

    GamePadSet& Pads() { return pads; }
    PlayerInput& Players() { return players; }

private:
    GamePadSet pads;
    PlayerInput players;
    PlayerInput::Frame last;
};

// A player at this machine: the bytes its keys and pad gave in the last
// reading. Online, the one local player takes both key sets and every pad.
class KeyControls : public ControlSource {
public:
    enum Which : int32_t { FirstPlayer = 0, SecondPlayer = 1, EitherPlayer = 2 };

    KeyControls(const LocalInput& input, Which which) : input(input), which(which) {}

    uint8_t Controls(int32_t frame) override;

private:
    const LocalInput& input;
    Which which;
};
