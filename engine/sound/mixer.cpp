// SDL audio output and the mix of all playing voices. The game thread changes
// voice state only under SDL's audio device lock, which the callback runs inside.
#include "engine/sound/mixer.h"

#include <SDL.h>

#include <algorithm>

#include "engine/sound/voice.h"

namespace {

constexpr int mixerFrames = 1024;

void AudioCallback(void* userdata, Uint8* stream, int len) {
    static_cast<Mixer*>(userdata)->Mix(reinterpret_cast<int16_t*>(stream),
                                       len / static_cast<int>(2 * sizeof(int16_t)));
}

// SDL reports a removed output on its audio thread and an added one on its
// hot-plug thread (it also announces every device present at start-up, so an
// addition counts only after a removal). Only flags are set here: the device
// is reopened on the game's thread.
int WatchAudioDevices(void* userdata, SDL_Event* event) {
    auto* mixer = static_cast<Mixer*>(userdata);
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.iscapture == 0 &&
        event->adevice.which == mixer->watchedDevice) {
        mixer->deviceAdded = false;
        mixer->deviceRemoved = true;
    } else if (event->type == SDL_AUDIODEVICEADDED && event->adevice.iscapture == 0 &&
               mixer->deviceRemoved) {
        mixer->deviceAdded = true;
    }
    return 0;
}

}  // namespace

Mixer::~Mixer() {
    Close();
}

bool Mixer::Open() {
    Close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    subsystemHeld = true;
    if (!OpenDevice()) {
        Close();
        return false;
    }
    SDL_AddEventWatch(WatchAudioDevices, this);
    return true;
}

bool Mixer::OpenDevice() {
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = mixerFrames;
    wanted.callback = AudioCallback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0) {
        return false;
    }
    watchedDevice = device;
    sampleRate = obtained.freq;
    accumulator.assign(2 * mixerFrames, 0.0f);
    SDL_PauseAudioDevice(device, outputPaused ? 1 : 0);
    return true;
}

// The removed device stays open but silent (SDL no longer calls back); it is
// closed and the default output opened anew, at whatever rate it offers.
void Mixer::ReopenIfDeviceReturned() {
    if (!deviceAdded.load() || device == 0) {
        return;
    }
    deviceRemoved = false;
    deviceAdded = false;
    SDL_CloseAudioDevice(device);
    device = 0;
    if (!OpenDevice()) {
        return;
    }
    Lock();
    for (Voice* voice : voices) {
        voice->UpdateStep(sampleRate);
    }
    Unlock();
}

void Mixer::Close() {
    if (subsystemHeld) {
        SDL_DelEventWatch(WatchAudioDevices, this);
    }
    deviceRemoved = false;
    deviceAdded = false;
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        device = 0;
    }
    if (subsystemHeld) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemHeld = false;
    }
    voices.clear();
    sampleRate = 0;
}

void Mixer::Lock() const {
    if (device != 0) {
        SDL_LockAudioDevice(device);
    }
}

void Mixer::Unlock() const {
    if (device != 0) {
        SDL_UnlockAudioDevice(device);
    }
}

void Mixer::AddVoice(Voice* voice) {
    Lock();
    voice->UpdateGains();
    voice->UpdateStep(sampleRate);
    voices.push_back(voice);
    Unlock();
}

void Mixer::RemoveVoice(Voice* voice) {
    Lock();
    voices.erase(std::remove(voices.begin(), voices.end(), voice), voices.end());
    Unlock();
}

void Mixer::Start(Voice* voice, bool looping) {
    ReopenIfDeviceReturned();
    Lock();
    voice->looping = looping;
    voice->playing = true;
    Unlock();
}

void Mixer::Stop(Voice* voice) {
    Lock();
    voice->playing = false;
    voice->position = 0;
    Unlock();
}

bool Mixer::IsPlaying(const Voice* voice) const {
    Lock();
    const bool playing = voice->playing;
    Unlock();
    return playing;
}

bool Mixer::SetVolume(Voice* voice, int32_t volume) {
    if (volume < Voice::volumeMin || volume > Voice::volumeMax) {
        return false;
    }
    Lock();
    voice->volume = volume;
    voice->UpdateGains();
    Unlock();
    return true;
}

bool Mixer::SetPan(Voice* voice, int32_t pan) {
    if (pan < Voice::panLeft || pan > Voice::panRight) {
        return false;
    }
    Lock();
    voice->pan = pan;
    voice->UpdateGains();
    Unlock();
    return true;
}

bool Mixer::SetFrequency(Voice* voice, int32_t frequency) {
    if (frequency != 0 && (frequency < Voice::frequencyMin || frequency > Voice::frequencyMax)) {
        return false;
    }
    Lock();
    voice->frequency = frequency;
    voice->UpdateStep(sampleRate);
    Unlock();
    return true;
}

void Mixer::SetMasterVolume(int32_t percent, bool muted) {
    const float gain = muted ? 0.0f : static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
    Lock();
    masterGain = gain;
    Unlock();
}

// SDL's paused device calls no callback and writes silence, so the voices'
// positions stand still until it runs again.
void Mixer::SetPaused(bool paused) {
    outputPaused = paused;
    if (device != 0) {
        SDL_PauseAudioDevice(device, paused ? 1 : 0);
    }
}

void Mixer::Mix(int16_t* out, int32_t frames) {
    if (accumulator.empty()) {
        std::fill(out, out + 2 * std::max(frames, 0), int16_t{0});
        return;
    }
    while (frames > 0) {
        const int32_t chunk = std::min(frames, mixerFrames);
        float* acc = accumulator.data();
        std::fill(acc, acc + 2 * chunk, 0.0f);
        for (Voice* voice : voices) {
            if (voice->playing) {
                voice->MixInto(acc, chunk);
            }
        }
        if (masterGain != 1.0f) {
            for (int32_t i = 0; i < 2 * chunk; ++i) {
                acc[i] *= masterGain;
            }
        }
        for (int32_t i = 0; i < 2 * chunk; ++i) {
            const float v = std::clamp(acc[i], -32768.0f, 32767.0f);
            out[i] = static_cast<int16_t>(v);
        }
        out += 2 * chunk;
        frames -= chunk;
    }
}
