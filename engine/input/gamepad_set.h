// GamePadSet: the game controllers attached to the machine, through SDL's
// game-controller API and its built-in mapping database (so every known pad
// reports its buttons by position: A is the bottom face button whatever the
// maker prints on it). Polled once per frame into plain slots; pads plugged in
// or pulled out while the program runs appear and disappear at the next poll.
// While none of the program's windows has the keyboard focus SDL drops what
// the pads report, except buttons let go and sticks let back to the middle,
// so a pad never sticks and never plays for a window in the background.
#pragma once

#include <cstdint>

struct _SDL_GameController;

// Buttons by position, as bits of PadState::buttons.
enum PadButton : uint32_t {
    PadButtonA = 1u << 0,  // bottom face button (cross)
    PadButtonB = 1u << 1,  // right face button (circle)
    PadButtonX = 1u << 2,  // left face button (square)
    PadButtonY = 1u << 3,  // top face button (triangle)
    PadButtonBack = 1u << 4,
    PadButtonGuide = 1u << 5,
    PadButtonStart = 1u << 6,
    PadButtonLeftStick = 1u << 7,
    PadButtonRightStick = 1u << 8,
    PadButtonLeftShoulder = 1u << 9,
    PadButtonRightShoulder = 1u << 10,
    PadButtonDpadUp = 1u << 11,
    PadButtonDpadDown = 1u << 12,
    PadButtonDpadLeft = 1u << 13,
    PadButtonDpadRight = 1u << 14,
};

inline constexpr int32_t padButtonCount = 15;

// Results of Open; 0 is success, the other belongs to the engine's shared numbering.
enum GamePadResult : int32_t {
    GamePadResultOk = 0,
    // SDL's game-controller subsystem would not start: no pads, ever.
    GamePadResultNoSubsystem = 44,
};

// One pad as it stood at the last poll.
struct PadState {
    // A number of its own for every pad plugged in, never reused while the
    // program runs; 0 for an empty slot.
    uint32_t serial = 0;
    uint32_t buttons = 0;  // PadButton bits held
    // The left stick, -32768..32767 each, y growing downward.
    int16_t leftX = 0;
    int16_t leftY = 0;
};

class GamePadSet {
public:
    static constexpr int32_t maxPads = 4;

    GamePadSet() = default;
    GamePadSet(const GamePadSet&) = delete;
    GamePadSet& operator=(const GamePadSet&) = delete;
    // Closes the pads and drops this object's hold on SDL's subsystem.
    virtual ~GamePadSet();

    // Starts SDL's game-controller subsystem and takes the pads already
    // attached, in SDL's order. Calling it again starts afresh.
    int32_t Open();
    void Close();
    // Reads every pad's state, lets go of the pads that were pulled out
    // (their slots empty) and takes new ones into the first empty slots.
    // Allocates nothing once the pads are open.
    void Update();

    // A short rumble of the pad in that slot, both motors at strength
    // (0..65535). Only where the pad has motors: false without them, for an
    // empty slot, or when SDL refuses.
    bool Rumble(int32_t slot, uint16_t strength, uint32_t milliseconds);
    bool CanRumble(int32_t slot) const;

    PadState pads[maxPads];
    int32_t rumbleCount = 0;  // rumbles started, for tests and the curious

private:
    // Takes the device at SDL's index into an empty slot; false when it is no
    // game controller, cannot be opened or every slot is taken.
    bool Take(int32_t deviceIndex, int32_t instanceId);
    bool Known(int32_t instanceId) const;
    void Remember(int32_t instanceId);

    _SDL_GameController* controllers[maxPads] = {};
    int32_t instanceIds[maxPads] = {};
    // Devices looked at once and not taken (not a game controller, or no
    // slot free when they came): never looked at again while attached, so a
    // poll costs no mapping lookup. A small ring: the oldest entry goes first.
    static constexpr int32_t passedOverCapacity = 16;
    int32_t passedOver[passedOverCapacity] = {};
    int32_t passedOverCount = 0;
    uint32_t nextSerial = 1;
    bool subsystemHeld = false;
};
