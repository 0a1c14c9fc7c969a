// Mode's defaults: the game's comfort keys, all of them applied.
#include "app/mode.h"

#include "app/play_state.h"

uint32_t Mode::CommandsFrom(uint32_t message, uintptr_t wParam, intptr_t lParam) const {
    return CommandsFromMessage(message, wParam, lParam);
}

uint32_t Mode::Comforts() const {
    return CommandPause | CommandHelp | CommandMute | CommandVolumeDown | CommandVolumeUp |
           CommandWindowMode | CommandFocusLost;
}
