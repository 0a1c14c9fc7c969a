// PlayState: the commands of the comfort keys and what each changes.
#include "app/play_state.h"

#include <algorithm>
#include <cstdio>

#include "engine/display/window_messages.h"

namespace {

constexpr uint8_t virtualKeyF11 = VK_F1 + 10;

uint32_t CommandOfKey(uintptr_t key) {
    switch (key) {
        case VK_A + ('P' - 'A'):
            return CommandPause;
        case VK_F1:
            return CommandHelp;
        case VK_A + ('M' - 'A'):
            return CommandMute;
        case VK_OEM_MINUS:
        case VK_SUBTRACT:
            return CommandVolumeDown;
        case VK_OEM_PLUS:
        case VK_ADD:
            return CommandVolumeUp;
        case virtualKeyF11:
            return CommandWindowMode;
        default:
            return 0;
    }
}

}  // namespace

uint32_t CommandsFromMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    // A key held down repeats its key-down; each of these acts once per press.
    const bool repeat = (lParam & KeyRepeatBit) != 0;
    switch (message) {
        case WM_KEYDOWN:
            return repeat ? 0 : CommandOfKey(wParam);
        case WM_SYSKEYDOWN:
            // Key-downs with Alt held arrive as system keys.
            return !repeat && wParam == VK_RETURN ? uint32_t{CommandWindowMode} : 0u;
        default:
            return 0;
    }
}

void PlayState::ShowNote(const char* text) {
    std::snprintf(note, sizeof note, "%s", text);
    noteFramesLeft = noteFrames;
}

void PlayState::ShowVolumeNote() {
    if (muted) {
        std::snprintf(note, sizeof note, "Muted");
    } else {
        std::snprintf(note, sizeof note, "Volume %d %%", volume);
    }
    noteFramesLeft = noteFrames;
}

uint32_t PlayState::Apply(uint32_t commands) {
    const bool ranBefore = WorldRuns();
    uint32_t changes = 0;
    if (noteFramesLeft > 0 && --noteFramesLeft == 0) {
        changes |= PlayChangeCover;
    }
    if ((commands & CommandPause) != 0) {
        if (helpShown) {
            helpShown = false;
            paused = false;
        } else {
            paused = !paused;
        }
    }
    if ((commands & CommandHelp) != 0) {
        helpShown = !helpShown;
    }
    if ((commands & CommandFocusLost) != 0) {
        paused = true;
    }
    if ((commands & CommandMute) != 0) {
        muted = !muted;
        ShowVolumeNote();
        changes |= PlayChangeSound;
    }
    if ((commands & (CommandVolumeDown | CommandVolumeUp)) != 0) {
        const int32_t up = (commands & CommandVolumeUp) != 0 ? volumeStep : 0;
        const int32_t down = (commands & CommandVolumeDown) != 0 ? volumeStep : 0;
        volume = std::clamp(volume + up - down, 0, 100);
        muted = false;
        ShowVolumeNote();
        changes |= PlayChangeSound;
    }
    if ((commands & CommandWindowMode) != 0) {
        changes |= PlayChangeWindowMode;
    }
    const bool runs = WorldRuns();
    if (ranBefore && !runs) {
        changes |= PlayChangeStopped;
    } else if (!ranBefore && runs) {
        changes |= PlayChangeResumed;
    }
    if (!runs && (commands & (CommandPause | CommandHelp | CommandFocusLost | CommandMute |
                              CommandVolumeDown | CommandVolumeUp)) != 0) {
        changes |= PlayChangeCover;
    }
    return changes;
}
