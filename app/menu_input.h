// MenuInput: how the player moves through the game's screens. The arrow keys,
// Enter, Escape and Backspace, and any pad's d-pad or left stick, A (choose)
// and B (back); a direction held down repeats. Typed text is kept for a text
// field. The keys reach it as window messages, the pads as each frame's poll.
#pragma once

#include <cstdint>

#include "engine/input/gamepad_set.h"

enum MenuAction : uint32_t {
    MenuUp = 1u << 0,
    MenuDown = 1u << 1,
    MenuLeft = 1u << 2,
    MenuRight = 1u << 3,
    MenuChoose = 1u << 4,  // Enter, the keypad's Enter, a pad's A or Start
    MenuBack = 1u << 5,    // Escape, a pad's B (or Back, with MenuLeave)
    MenuErase = 1u << 6,   // Backspace
    MenuLeave = 1u << 7,   // a pad's Back (with MenuBack): leave a match
};

class MenuInput {
public:
    // Display frames a direction is held before it repeats, and between repeats.
    static constexpr int32_t repeatDelay = 24;
    static constexpr int32_t repeatEvery = 6;
    static constexpr int32_t maxTyped = 32;

    // Takes one window message: key-downs (repeats included, as the
    // keyboard's own auto-repeat) and typed characters.
    void Message(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // The actions of this display frame: the keys' since the last call, and
    // the pads' presses and repeats (null pads: none). Typed text is kept
    // until TakeTyped.
    uint32_t Frame(const GamePadSet* pads);

    // The printable characters typed since the last call (Windows-1252,
    // NUL-terminated), then forgets them.
    const char* TakeTyped();
    // Forgets what is pending and what the pads held (a new screen starts
    // with nothing pressed: the A that chose it does not choose again).
    void Reset(const GamePadSet* pads);

private:
    uint32_t PadActions(const GamePadSet& pads) const;

    uint32_t keyActions = 0;
    uint32_t padHeld = 0;  // the pads' actions held last frame
    int32_t heldFrames = 0;
    char typed[maxTyped + 1] = {};
    char handedOut[maxTyped + 1] = {};
    int32_t typedCount = 0;
};
