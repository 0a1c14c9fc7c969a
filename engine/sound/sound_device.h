// The sound output the game's sound buffers play through: one mixer on the
// default audio device, bound to the main window.
#pragma once

#include <cstdint>

#include "engine/display/window_handle.h"

class Mixer;

class SoundDevice {
public:
    SoundDevice() = default;
    virtual ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Opens the audio output. 0 on success; 16 when no output can be opened, in
    // which case every request on this device's sounds answers 51.
    int Create(WindowHandle window);

    // The player's master volume (0..100 %) and mute, over every sound of
    // this device; nothing without an output.
    void SetMasterVolume(int32_t percent, bool mute);
    // Holds every sound where it stands, or lets them go on.
    void PauseOutput(bool paused);

    // Set from the start of Create until it succeeds; while set, play requests
    // succeed without sound.
    bool muted = false;
    // The mixer standing for the platform's sound object; owned, empty before
    // Create and after a failed Create.
    Mixer* directSound = nullptr;
};
