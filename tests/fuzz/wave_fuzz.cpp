// Feeds arbitrary bytes to the wave chunk walk, the format decoder and a sound
// load, then plays and mixes whatever loaded, so any read outside the image or
// the converted samples shows up under the sanitizers.
#include <SDL.h>

#include <cstdint>
#include <cstdlib>

#include "engine/sound/mixer.h"
#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "engine/sound/wave_image.h"

namespace {

SoundDevice* device = nullptr;
SoundBuffer* sound = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    device = new SoundDevice;
    sound = new SoundBuffer;
    if (device->Create(nullptr) == 0) {
        // The fuzzer drives the mix itself, so the audio thread stays out of it.
        SDL_PauseAudioDevice(device->directSound->device, 1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* format = nullptr;
    const uint8_t* samples = nullptr;
    uint32_t formatSize = 0;
    uint32_t dataSize = 0;
    volatile uint32_t sink = 0;
    if (ParseWave(data, size, &format, &formatSize, &samples, &dataSize)) {
        for (uint32_t i = 0; format != nullptr && i < formatSize; ++i) {
            sink = sink + format[i];
        }
        for (uint32_t i = 0; samples != nullptr && i < dataSize; ++i) {
            sink = sink + samples[i];
        }
        WaveFormat decoded;
        DecodeWaveFormat(format, formatSize, &decoded);
    }

    const int32_t count = size > 0 ? 1 + data[size - 1] % 3 : 1;
    if (sound->LoadFromMemory(device, data, count, size) == 0) {
        int32_t index = -1;
        sound->Play();
        sound->PlayLooping(-300, &index);
        sound->SetBufferFrequency(index, size > 1 ? 100 + data[size - 2] * 700 : 0);
        sound->SetBufferPan(index, -2000);
        int16_t out[2 * 256];
        SDL_LockAudioDevice(device->directSound->device);
        device->directSound->Mix(out, 256);
        SDL_UnlockAudioDevice(device->directSound->device);
        sound->IsPlaying(0);
        sound->StopAll();
    }
    return 0;
}
