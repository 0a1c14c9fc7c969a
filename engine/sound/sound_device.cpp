// Opening and closing the sound output: the mixer stands where the platform's
// sound object was, so a device that could not be opened leaves it empty.
#include "engine/sound/sound_device.h"

#include <new>

#include "engine/sound/mixer.h"

SoundDevice::~SoundDevice() {
    delete directSound;
    directSound = nullptr;
}

int SoundDevice::Create(WindowHandle) {
    // SDL's output is not bound to a window, so the handle has no part in it.
    muted = true;
    delete directSound;
    directSound = nullptr;
    Mixer* mixer = new (std::nothrow) Mixer;
    if (mixer == nullptr || !mixer->Open()) {
        delete mixer;
        return 16;
    }
    directSound = mixer;
    muted = false;
    return 0;
}

void SoundDevice::SetMasterVolume(int32_t percent, bool mute) {
    if (directSound != nullptr) {
        directSound->SetMasterVolume(percent, mute);
    }
}

void SoundDevice::PauseOutput(bool paused) {
    if (directSound != nullptr) {
        directSound->SetPaused(paused);
    }
}
