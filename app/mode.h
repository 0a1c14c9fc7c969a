// Mode: what runs inside the application loop (app_loop.h): a local match, a
// replay shown again, an online match. The loop owns the window, the focus,
// the comfort keys, the pacing and the present; a mode gets its frames and
// commands, draws its picture and says what comes next.
#pragma once

#include <cstdint>

#include "app/player_input.h"

class AppLoop;

// What the loop hands a mode for one display frame.
struct FrameInput {
    // The frame's requests (play_state.h's Command bits, CommandEscape among
    // them, and a mode's own bits from its CommandsFrom).
    uint32_t commands = 0;
    // What the comfort commands the mode takes (Comforts) changed, as
    // PlayChange bits; the loop has already acted on the volume and the
    // window mode.
    uint32_t changes = 0;
    // The window has the keyboard focus. Without it nothing is read: players
    // is null and no key or pad may be taken as a player's.
    bool active = false;
    // The players' keys and pads as read this frame, when the mode reads them
    // (ReadsPlayers) and the window is active.
    const PlayerInput::Frame* players = nullptr;
};

class Mode {
public:
    virtual ~Mode() = default;

    // The mode becomes the loop's current one (before its first frame).
    virtual void Enter(AppLoop& app) = 0;
    // One display frame: act on input, step what the mode steps, draw the
    // picture on the back surface (the loop presents it). The mode may ask
    // the loop to switch to another mode or to quit.
    virtual void Frame(AppLoop& app, const FrameInput& input) = 0;
    // The mode stops being current: the loop quits or the window is gone (a
    // close request, SIGINT or SIGTERM), or another mode follows. Whatever
    // must be completed (a replay file, an online match's end) is completed
    // here, without waiting longer than a second.
    virtual void Leave(AppLoop& app) = 0;

    // The commands a window message stands for in this mode.
    virtual uint32_t CommandsFrom(uint32_t message, uintptr_t wParam, intptr_t lParam) const;
    // Every window message, for a mode that reads more of them than commands
    // (a screen's menu, a text field).
    virtual void Message(uint32_t, uintptr_t, intptr_t) {}
    // Which comfort commands the loop applies to the PlayState for this mode
    // (all of them unless the mode says otherwise).
    virtual uint32_t Comforts() const;
    // Whether the loop reads the players' keys and pads for this mode.
    virtual bool ReadsPlayers() const { return false; }
    // Whether frames go on while the window has no focus (an online match:
    // the other side plays on). Otherwise the loop runs the mode only when a
    // command comes, and pauses it once the focus stays away.
    virtual bool RunsWithoutFocus() const { return false; }
    // The frame is shown and the loop paces itself to the next one: until
    // deadlineNs (CLOCK_MONOTONIC nanoseconds) a mode with something to do
    // meanwhile does it (an online match reads its packets as they come),
    // returning at or after the deadline. By default it sleeps.
    virtual void WaitUntil(uint64_t deadlineNs);
};
