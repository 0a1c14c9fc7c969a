// The comforts around the rules: pause and continue, the help overlay, the
// master volume and mute with their short note, the window mode. The keys and
// buttons for them become commands; PlayState decides what they change. None
// of it touches the world: a stopped world goes on exactly where it stood.
#pragma once

#include <cstdint>

#include "rules/world_timing.h"

// One frame's requests, as bits.
enum Command : uint32_t {
    CommandPause = 1u << 0,       // P, or Start on a player's pad: pause, or continue
    CommandHelp = 1u << 1,        // F1: show or hide the help (the world waits meanwhile)
    CommandMute = 1u << 2,        // M
    CommandVolumeDown = 1u << 3,  // minus
    CommandVolumeUp = 1u << 4,    // equals
    CommandWindowMode = 1u << 5,  // Alt+Enter or F11: window, or full screen
    CommandFocusLost = 1u << 6,   // the window lost the keyboard focus: pause
    CommandEscape = 1u << 7,      // Escape: the mode decides (a local match quits at once)
};

// What a frame's commands changed, as bits.
enum PlayChange : uint32_t {
    PlayChangeStopped = 1u << 0,     // the world stopped in this frame
    PlayChangeResumed = 1u << 1,     // the world goes on from this frame
    PlayChangeCover = 1u << 2,       // what covers the stopped world changed
    PlayChangeSound = 1u << 3,       // the volume or mute changed
    PlayChangeWindowMode = 1u << 4,  // the player asked for the other window mode
};

// The commands a window message stands for: key-downs (not auto-repeats) of
// P, F1, M, minus and equals (and their keypad twins), F11 and Alt+Enter.
// Escape is the window procedure's to see (as the AppWindow records it), the
// focus the frame loop's to watch (the AppWindow's `active`).
uint32_t CommandsFromMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

class PlayState {
public:
    static constexpr int32_t volumeStep = 10;                    // percent
    static constexpr int32_t noteFrames = worldFramesPerSecond;  // the volume note shows a second

    PlayState() = default;
    virtual ~PlayState() = default;

    // Applies one frame's commands and counts down the note. Answers the
    // PlayChange bits. Pause toggles; with the help shown it closes the help
    // and continues. Help toggles and keeps a pause it found. A lost focus
    // pauses. A volume step also unmutes.
    uint32_t Apply(uint32_t commands);

    bool WorldRuns() const { return !paused && !helpShown; }
    // A new match starts neither paused nor with the help shown; the volume
    // and mute stay as the player set them.
    void StartMatch() {
        paused = false;
        helpShown = false;
    }
    bool NoteShown() const { return noteFramesLeft > 0; }
    // A note of the mode's own in the volume note's place, for as long
    // (Windows-1252 text, cut to fit): "An online match cannot pause".
    void ShowNote(const char* text);

    bool paused = false;
    bool helpShown = false;
    int32_t volume = 100;  // percent
    bool muted = false;
    // The note's text, "Volume 70 %" or "Muted" (or a mode's), while
    // noteFramesLeft > 0.
    char note[40] = {};
    int32_t noteFramesLeft = 0;

private:
    void ShowVolumeNote();
};
