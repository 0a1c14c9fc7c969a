// GamePadSet on SDL's game-controller API: opening the pads, the per-frame
// poll with hot-plug found by comparing SDL's device list, and rumble.
#include "engine/input/gamepad_set.h"

#include <SDL2/SDL.h>

namespace {

constexpr int32_t noInstance = -1;

struct ButtonBit {
    SDL_GameControllerButton button;
    uint32_t bit;
};

constexpr ButtonBit buttonBits[padButtonCount] = {
    {SDL_CONTROLLER_BUTTON_A, PadButtonA},
    {SDL_CONTROLLER_BUTTON_B, PadButtonB},
    {SDL_CONTROLLER_BUTTON_X, PadButtonX},
    {SDL_CONTROLLER_BUTTON_Y, PadButtonY},
    {SDL_CONTROLLER_BUTTON_BACK, PadButtonBack},
    {SDL_CONTROLLER_BUTTON_GUIDE, PadButtonGuide},
    {SDL_CONTROLLER_BUTTON_START, PadButtonStart},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, PadButtonLeftStick},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, PadButtonRightStick},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PadButtonLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButtonRightShoulder},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButtonDpadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButtonDpadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButtonDpadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButtonDpadRight},
};

}  // namespace

GamePadSet::~GamePadSet() {
    Close();
}

int32_t GamePadSet::Open() {
    Close();
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        return GamePadResultNoSubsystem;
    }
    subsystemHeld = true;
    // The pads are polled, never heard from through events. SDL would queue
    // an event for every twitch of a stick, and the window's pump takes one
    // event per frame: they would crowd out the keys and the window's own
    // events. With the events off SDL_PumpEvents no longer updates the pads
    // either, so Update asks SDL for their state itself, and arrivals and
    // removals are found by comparing SDL's device list at every poll.
    SDL_GameControllerEventState(SDL_IGNORE);
    SDL_JoystickEventState(SDL_IGNORE);
    for (int32_t& id : instanceIds) {
        id = noInstance;
    }
    Update();
    return GamePadResultOk;
}

void GamePadSet::Close() {
    for (int32_t slot = 0; slot < maxPads; ++slot) {
        // After SDL_Quit the controllers are already closed and freed.
        if (controllers[slot] != nullptr && SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0) {
            SDL_GameControllerClose(controllers[slot]);
        }
        controllers[slot] = nullptr;
        instanceIds[slot] = noInstance;
        pads[slot] = PadState{};
    }
    passedOverCount = 0;
    if (subsystemHeld) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        subsystemHeld = false;
    }
}

bool GamePadSet::Known(int32_t instanceId) const {
    for (int32_t slot = 0; slot < maxPads; ++slot) {
        if (instanceIds[slot] == instanceId) {
            return true;
        }
    }
    const int32_t remembered =
        passedOverCount < passedOverCapacity ? passedOverCount : passedOverCapacity;
    for (int32_t i = 0; i < remembered; ++i) {
        if (passedOver[i] == instanceId) {
            return true;
        }
    }
    return false;
}

void GamePadSet::Remember(int32_t instanceId) {
    passedOver[passedOverCount % passedOverCapacity] = instanceId;
    ++passedOverCount;
}

bool GamePadSet::Take(int32_t deviceIndex, int32_t instanceId) {
    int32_t slot = 0;
    while (slot < maxPads && controllers[slot] != nullptr) {
        ++slot;
    }
    // With every slot taken the device is left for a later poll, when a pad
    // may have been pulled out.
    if (slot == maxPads) {
        return false;
    }
    // A joystick that SDL's database cannot map (a flight stick, a wheel) is
    // no pad.
    if (SDL_IsGameController(deviceIndex) == SDL_FALSE) {
        Remember(instanceId);
        return false;
    }
    SDL_GameController* opened = SDL_GameControllerOpen(deviceIndex);
    if (opened == nullptr) {
        Remember(instanceId);
        return false;
    }
    controllers[slot] = opened;
    instanceIds[slot] = instanceId;
    pads[slot] = PadState{};
    pads[slot].serial = nextSerial++;
    return true;
}

void GamePadSet::Update() {
    if (!subsystemHeld) {
        return;
    }
    // Reads the devices and lets SDL's drivers notice arrivals and removals.
    SDL_GameControllerUpdate();
    for (int32_t slot = 0; slot < maxPads; ++slot) {
        SDL_GameController* pad = controllers[slot];
        if (pad == nullptr) {
            continue;
        }
        if (SDL_GameControllerGetAttached(pad) == SDL_FALSE) {
            // Pulled out: the slot empties, so nothing it held stays held.
            SDL_GameControllerClose(pad);
            controllers[slot] = nullptr;
            instanceIds[slot] = noInstance;
            pads[slot] = PadState{};
            continue;
        }
        PadState& state = pads[slot];
        state.buttons = 0;
        for (const ButtonBit& entry : buttonBits) {
            if (SDL_GameControllerGetButton(pad, entry.button) != 0) {
                state.buttons |= entry.bit;
            }
        }
        state.leftX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
        state.leftY = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    }
    const int32_t count = SDL_NumJoysticks();
    for (int32_t index = 0; index < count; ++index) {
        const int32_t id = SDL_JoystickGetDeviceInstanceID(index);
        // A new pad's state is read from the next poll on: it holds nothing yet.
        if (id != noInstance && !Known(id)) {
            Take(index, id);
        }
    }
}

bool GamePadSet::CanRumble(int32_t slot) const {
    if (slot < 0 || slot >= maxPads || controllers[slot] == nullptr) {
        return false;
    }
    return SDL_GameControllerHasRumble(controllers[slot]) == SDL_TRUE;
}

bool GamePadSet::Rumble(int32_t slot, uint16_t strength, uint32_t milliseconds) {
    if (!CanRumble(slot)) {
        return false;
    }
    if (SDL_GameControllerRumble(controllers[slot], strength, strength, milliseconds) != 0) {
        return false;
    }
    ++rumbleCount;
    return true;
}
