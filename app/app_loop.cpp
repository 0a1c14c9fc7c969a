// The application loop: one window message, the focus, the comforts, the
// current mode's frame, the present; and the switch from one mode to the next.
#include "app/app_loop.h"

#include "app/overlay_view.h"
#include "app/play_frame.h"
#include "app/saved_settings.h"
#include "app/window_mode.h"
#include "engine/display/frame_limiter.h"
#include "engine/display/window_messages.h"
#include "platform/platform_objects.h"
#include "rules/world_timing.h"

namespace {

// The display is paced to the world's clock: one world frame a present.
static_assert(FrameLimiter::targetRate == worldFramesPerSecond);

// Passes of the loop (a display refresh each) the focus may be away before
// the mode is told: a quarter of a second.
constexpr int32_t focusGracePasses = worldFramesPerSecond / 4;

// Passes the window's size must stay put before it is written to the settings
// file: a drag sends a size at every step, and only where it ends counts.
constexpr int32_t resizeSettlePasses = worldFramesPerSecond;

// The loop whose window procedure runs; there is one window.
AppLoop* running = nullptr;
uint32_t commandsBeforeRun = 0;

}  // namespace

intptr_t GameWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return AppLoop::WindowProc(window, message, wParam, lParam);
}

AppLoop::AppLoop(LocalInput& players, SavedSettings& settings, const PlayState& play, bool windowed)
    : players(players), settings(settings), play(play), windowed(windowed) {}

AppLoop::~AppLoop() {
    if (running == this) {
        running = nullptr;
    }
}

intptr_t AppLoop::WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) {
    appWindow.RecordMessage(message, wParam, lParam);
    uint32_t commands = appWindow.lastKeyDown == VK_ESCAPE ? uint32_t{CommandEscape} : 0u;
    if (message == WM_SIZE && running != nullptr) {
        // The size the player gives the window of its own is remembered.
        running->settings.NoteWindowSize(running->windowed, lParam);
        running->passesSinceResize = 0;
    }
    if (running != nullptr && running->current != nullptr) {
        running->pendingCommands |=
            commands | running->current->CommandsFrom(message, wParam, lParam);
        running->current->Message(message, wParam, lParam);
    } else {
        commandsBeforeRun |= commands | CommandsFromMessage(message, wParam, lParam);
    }
    return DefaultWindowProc(window, message, wParam, lParam);
}

int AppLoop::Run(std::unique_ptr<Mode> first) {
    running = this;
    pendingCommands = commandsBeforeRun;
    commandsBeforeRun = 0;
    current = std::move(first);
    current->Enter(*this);
    if (screen.frameLimiter != nullptr) {
        screen.frameLimiter->SetWaiter(&AppLoop::WaitForFrame, this);
    }
    while (Pass()) {
    }
    if (screen.frameLimiter != nullptr) {
        screen.frameLimiter->SetWaiter(nullptr, nullptr);
    }
    running = nullptr;
    settings.SaveWindowSize();
    return status;
}

void AppLoop::WaitForFrame(void* loop, uint64_t deadline) {
    auto* app = static_cast<AppLoop*>(loop);
    if (app->current != nullptr) {
        app->current->WaitUntil(deadline);
    } else {
        FrameLimiter::SleepUntilNanoseconds(deadline);
    }
}

void AppLoop::SwitchTo(std::unique_ptr<Mode> following) {
    next = std::move(following);
}

void AppLoop::Quit(int exitStatus) {
    quitting = true;
    status = exitStatus;
}

bool AppLoop::Pass() {
    if (!appWindow.PumpMessage()) {
        // Every way the window goes (a close request, SIGINT and SIGTERM,
        // which SDL turns into a quit request) ends here, and the mode
        // completes what it must.
        current->Leave(*this);
        return false;
    }
    if (passesSinceResize >= 0 && ++passesSinceResize >= resizeSettlePasses) {
        // Written once the size settles, so that it outlives a crash.
        passesSinceResize = -1;
        settings.SaveWindowSize();
    }
    uint32_t commands = pendingCommands;
    pendingCommands = 0;
    const bool active = appWindow.active;
    FrameInput input;
    if (!active) {
        // Nothing is read while the window is inactive (the keys may be
        // another program's), and unless the mode runs on regardless the loop
        // sleeps until the display's next refresh rather than spin a core. A
        // focus that stays away pauses; one that comes back at once (a window
        // manager handing the window over as it changes modes) changes nothing.
        players.Clear();
        if (++inactivePasses == focusGracePasses) {
            commands |= CommandFocusLost;
        }
        if (!current->RunsWithoutFocus() && commands == 0) {
            screen.WaitVerticalBlank();
            return true;
        }
    } else {
        inactivePasses = 0;
        if (current->ReadsPlayers()) {
            input.players = &players.Read();
            // Start on a player's pad pauses, as P does.
            commands |= input.players->startPressed ? uint32_t{CommandPause} : 0u;
        }
    }
    input.commands = commands;
    input.active = active;
    input.changes = ApplyComforts(play, commands & current->Comforts());
    ActOnChanges(input.changes);
    current->Frame(*this, input);
    if (quitting) {
        current->Leave(*this);
        appWindow.Destroy();
        return false;
    }
    if (next != nullptr) {
        SwitchModes();
    }
    screen.Present(0);
    if (!active && !current->RunsWithoutFocus()) {
        screen.WaitVerticalBlank();
    }
    return true;
}

void AppLoop::ActOnChanges(uint32_t changes) {
    if ((changes & PlayChangeWindowMode) != 0) {
        windowed = !windowed;
        ShowWindowed(windowed);
    }
    settings.Note(changes, windowed, play);
}

void AppLoop::SetWindowed(bool inWindow) {
    if (inWindow != windowed) {
        ActOnChanges(PlayChangeWindowMode);
    }
}

void AppLoop::SetSound(int32_t volume, bool muted) {
    play.volume = volume;
    play.muted = muted;
    soundDevice.SetMasterVolume(volume, muted);
    settings.Note(PlayChangeSound, windowed, play);
}

void AppLoop::SetKeys(const KeyBindings& keys) {
    players.Players().SetBindings(keys);
    SetOverlayKeys(keys);
    settings.NoteKeys(keys);
}

void AppLoop::SwitchModes() {
    current->Leave(*this);
    current = std::move(next);
    inactivePasses = 0;
    current->Enter(*this);
}
