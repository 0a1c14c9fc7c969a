// The playback's frame loop and window procedure.
#include "app/replay_loop.h"

#include "engine/display/app_window.h"
#include "engine/display/screen.h"
#include "engine/display/window_messages.h"
#include "platform/platform_objects.h"

namespace {

// Passes of the loop the focus may be away before the playback pauses, as in
// the game: a quarter of a second at 60 Hz.
constexpr int32_t focusGracePasses = 15;

uint32_t pendingCommands = 0;

}  // namespace

intptr_t ReplayWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                          intptr_t lParam) {
    appWindow.RecordMessage(message, wParam, lParam);
    if (appWindow.lastKeyDown == VK_ESCAPE) {
        appWindow.Destroy();
    }
    pendingCommands |= ReplayCommandsFromMessage(message, wParam, lParam);
    return DefaultWindowProc(window, message, wParam, lParam);
}

void RunReplay(ReplayPlayback& playback, PlayState& state, void (*actOnChanges)(uint32_t)) {
    playback.Start();
    int32_t inactivePasses = 0;
    while (appWindow.PumpMessage()) {
        uint32_t commands = pendingCommands;
        pendingCommands = 0;
        if (!appWindow.active) {
            if (++inactivePasses == focusGracePasses) {
                commands |= CommandFocusLost;
            }
            if (commands != 0) {
                actOnChanges(playback.Frame(state, commands));
                screen.Present(0);
            }
            // Sleeps until the display's next refresh rather than spin a
            // processor core.
            screen.WaitVerticalBlank();
            continue;
        }
        inactivePasses = 0;
        actOnChanges(playback.Frame(state, commands));
        screen.Present(0);
    }
}
