// MenuInput: keys and pads into the screens' actions.
#include "app/menu_input.h"

#include <cstring>

#include "engine/display/window_messages.h"

namespace {

// The stick counts as pushed past half its travel.
constexpr int32_t stickPush = 16384;
constexpr uint32_t directions = MenuUp | MenuDown | MenuLeft | MenuRight;

}  // namespace

void MenuInput::Message(uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == WM_KEYDOWN) {
        switch (wParam) {
            case VK_UP:
                keyActions |= MenuUp;
                break;
            case VK_DOWN:
                keyActions |= MenuDown;
                break;
            case VK_LEFT:
                keyActions |= MenuLeft;
                break;
            case VK_RIGHT:
                keyActions |= MenuRight;
                break;
            case VK_RETURN:
                keyActions |= MenuChoose;
                break;
            case VK_ESCAPE:
                keyActions |= MenuBack;
                break;
            case VK_BACK:
                keyActions |= MenuErase;
                break;
            default:
                break;
        }
    } else if (message == WM_CHAR && wParam >= 0x20 && wParam <= 0xFF && wParam != 0x7F &&
               typedCount < maxTyped) {
        typed[typedCount++] = static_cast<char>(wParam);
        typed[typedCount] = '\0';
    }
}

uint32_t MenuInput::PadActions(const GamePadSet& pads) const {
    uint32_t held = 0;
    for (const PadState& pad : pads.pads) {
        if (pad.serial == 0) {
            continue;
        }
        if ((pad.buttons & PadButtonDpadUp) != 0 || pad.leftY < -stickPush) {
            held |= MenuUp;
        }
        if ((pad.buttons & PadButtonDpadDown) != 0 || pad.leftY > stickPush) {
            held |= MenuDown;
        }
        if ((pad.buttons & PadButtonDpadLeft) != 0 || pad.leftX < -stickPush) {
            held |= MenuLeft;
        }
        if ((pad.buttons & PadButtonDpadRight) != 0 || pad.leftX > stickPush) {
            held |= MenuRight;
        }
        if ((pad.buttons & (PadButtonA | PadButtonStart)) != 0) {
            held |= MenuChoose;
        }
        if ((pad.buttons & PadButtonB) != 0) {
            held |= MenuBack;
        }
        if ((pad.buttons & PadButtonBack) != 0) {
            held |= MenuBack | MenuLeave;
        }
    }
    return held;
}

uint32_t MenuInput::Frame(const GamePadSet* pads) {
    uint32_t actions = keyActions;
    keyActions = 0;
    const uint32_t held = pads != nullptr ? PadActions(*pads) : 0u;
    actions |= held & ~padHeld;
    // A direction held repeats; a new one starts its delay afresh.
    if ((held & directions) != 0 && (held & directions) == (padHeld & directions)) {
        ++heldFrames;
        if (heldFrames >= repeatDelay && (heldFrames - repeatDelay) % repeatEvery == 0) {
            actions |= held & directions;
        }
    } else {
        heldFrames = 0;
    }
    padHeld = held;
    return actions;
}

const char* MenuInput::TakeTyped() {
    std::memcpy(handedOut, typed, sizeof handedOut);
    typedCount = 0;
    typed[0] = '\0';
    return handedOut;
}

void MenuInput::Reset(const GamePadSet* pads) {
    keyActions = 0;
    typedCount = 0;
    typed[0] = '\0';
    padHeld = pads != nullptr ? PadActions(*pads) : 0u;
    heldFrames = 0;
}
