// LocalInput: the keyboard and pads polled, and each player's bytes handed on.
#include "app/local_input.h"

#include "platform/platform_objects.h"

void LocalInput::Open(const KeyBindings& bindings) {
    pads.Open();
    players.SetBindings(bindings);
}

const PlayerInput::Frame& LocalInput::Read() {
    input.Update();
    pads.Update();
    last = players.Read(input.keys, pads);
    return last;
}

const uint8_t* LocalInput::Keys() const {
    return input.keys;
}

void LocalInput::RumbleOnHits() {
    players.RumbleOnHits(pads, fighters);
}

void LocalInput::StartMatch() {
    players.ForgetHits(fighters);
    players.HoldBack();
    last = PlayerInput::Frame();
}

uint8_t KeyControls::Controls(int32_t) {
    const PlayerInput::Frame& frame = input.Last();
    if (which == EitherPlayer) {
        return static_cast<uint8_t>(frame.controls[0] | frame.controls[1]);
    }
    return frame.controls[which];
}
