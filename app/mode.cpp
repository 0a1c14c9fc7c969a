// Mode's defaults: the game's comfort keys, all of them applied, and a sleep
// between frames.
#include "app/mode.h"

#include "app/play_state.h"
#include "engine/display/frame_limiter.h"

uint32_t Mode::CommandsFrom(uint32_t message, uintptr_t wParam, intptr_t lParam) const {
    return CommandsFromMessage(message, wParam, lParam);
}

uint32_t Mode::Comforts() const {
    return CommandPause | CommandHelp | CommandMute | CommandVolumeDown | CommandVolumeUp |
           CommandWindowMode | CommandFocusLost;
}

void Mode::WaitUntil(uint64_t deadlineNs) {
    FrameLimiter::SleepUntilNanoseconds(deadlineNs);
}
