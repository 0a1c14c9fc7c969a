// AppLoop: the program's one frame loop. It owns what every mode shares: the
// window procedure, the focus (a quarter-second grace before a mode that can
// pause is paused), the keys that belong to no player (mute, volume, the
// window mode, the help and the pause where the mode takes them), reading the
// players' keys and pads, the pacing and the present. What runs inside it is
// a Mode (mode.h): each display frame the loop pumps one window message, then
// hands the mode its commands and input, then presents what it drew.
#pragma once

#include <cstdint>
#include <memory>

#include "app/local_input.h"
#include "app/mode.h"
#include "app/play_state.h"
#include "engine/display/window_handle.h"

class SavedSettings;

class AppLoop {
public:
    // The loop plays with the players at this machine and the settings the
    // program read; play holds the volume and mute to start with, windowed
    // the window mode the window was opened in.
    AppLoop(LocalInput& players, SavedSettings& settings, const PlayState& play, bool windowed);
    AppLoop(const AppLoop&) = delete;
    AppLoop& operator=(const AppLoop&) = delete;
    virtual ~AppLoop();

    // Runs first, and the modes that follow it, until one quits or the window
    // is gone. Answers the exit status the mode quit with (0 when the window
    // went).
    int Run(std::unique_ptr<Mode> first);

    // Asked by the current mode during its frame: the mode that follows it
    // from the next frame on, or the end (the window is destroyed and Run
    // answers status).
    void SwitchTo(std::unique_ptr<Mode> next);
    void Quit(int status);

    // The comforts' state: pause and help for the current match, volume and
    // mute for the whole run.
    PlayState& Play() { return play; }
    LocalInput& Players() { return players; }
    bool Windowed() const { return windowed; }
    SavedSettings& Settings() { return settings; }

    // What a settings screen changes, shown and saved at once.
    void SetWindowed(bool inWindow);
    void SetSound(int32_t volume, bool muted);
    // The players' keys: played with from the next reading on, told by the
    // help, saved.
    void SetKeys(const KeyBindings& keys);

    // The window procedure of the program's window: records every message in
    // the AppWindow, makes the running loop's commands of it (Escape among
    // them) and lets a close request destroy the window.
    static intptr_t WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);

private:
    // One pass: answers false once the loop is over.
    bool Pass();
    // The frame limiter's wait for the next frame, handed to the mode.
    static void WaitForFrame(void* loop, uint64_t deadline);
    void ActOnChanges(uint32_t changes);
    void SwitchModes();

    LocalInput& players;
    SavedSettings& settings;
    PlayState play;
    bool windowed = false;
    std::unique_ptr<Mode> current;
    std::unique_ptr<Mode> next;
    uint32_t pendingCommands = 0;
    int32_t inactivePasses = 0;
    // Passes since the window was last resized, until its size is written;
    // -1 while nothing waits to be written.
    int32_t passesSinceResize = -1;
    bool quitting = false;
    int status = 0;
};

// The window procedure through which the game's window is made: Escape and
// the comfort keys become commands for the running AppLoop.
intptr_t GameWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
