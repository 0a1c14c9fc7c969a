// The output device going away mid-game and coming back, as SDL reports it:
// play requests keep succeeding meanwhile, and the first one after a device
// was added opens the output again with the loaded sounds still playable.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "engine/sound/mixer.h"
#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "tests/sound/wave_builder.h"

using namespace wavetest;

namespace {

void PushDeviceEvent(uint32_t type, uint32_t which) {
    SDL_Event event{};
    event.type = type;
    event.adevice.which = which;
    event.adevice.iscapture = 0;
    SDL_PushEvent(&event);
}

}  // namespace

TEST(SoundDeviceChange, PlayGoesOnUnheardAndSoundReturnsWithANewDevice) {
    SoundDevice device;
    ASSERT_EQ(device.Create(nullptr), 0);
    Mixer* mixer = device.directSound;
    SoundBuffer sound;
    // Two seconds: still playing when it is checked.
    const auto image = ConstantWave(88200, 1000, -1000);
    ASSERT_EQ(sound.LoadFromMemory(&device, image.data(), 1, image.size()), 0);
    const uint32_t first = mixer->device;

    // Devices announced at start-up, or added while the output works, change nothing.
    PushDeviceEvent(SDL_AUDIODEVICEADDED, 0);
    EXPECT_EQ(sound.Play(), SoundOk);
    sound.StopAll();
    EXPECT_EQ(mixer->device, first);

    // Another device going away is not ours.
    PushDeviceEvent(SDL_AUDIODEVICEREMOVED, first + 100);
    EXPECT_FALSE(mixer->deviceRemoved);

    PushDeviceEvent(SDL_AUDIODEVICEREMOVED, first);
    EXPECT_TRUE(mixer->deviceRemoved);
    EXPECT_FALSE(mixer->deviceAdded);
    EXPECT_EQ(sound.Play(), SoundOk);
    sound.StopAll();
    EXPECT_EQ(mixer->device, first);

    PushDeviceEvent(SDL_AUDIODEVICEADDED, 0);
    EXPECT_EQ(sound.Play(), SoundOk);
    // Reopened (SDL may hand out the same id again): the flags are cleared.
    EXPECT_NE(mixer->device, 0u);
    EXPECT_FALSE(mixer->deviceRemoved);
    EXPECT_FALSE(mixer->deviceAdded);
    EXPECT_EQ(SDL_GetAudioDeviceStatus(mixer->device), SDL_AUDIO_PLAYING);
    EXPECT_TRUE(sound.IsPlaying(0));
    sound.Unload();
    SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
}
