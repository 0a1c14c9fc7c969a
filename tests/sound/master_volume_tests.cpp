// The player's master volume, mute and pause over the whole mix, mixed by
// hand with the device's own callbacks held off: exact levels, no change at
// 100 %, and a paused output that keeps every voice where it stood.
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/sound/mixer.h"
#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "tests/sound/scoped_env.h"
#include "tests/sound/wave_builder.h"

using namespace wavetest;

namespace {

class MasterVolumeTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<ScopedEnv>("SDL_AUDIODRIVER", "dummy");
        device = std::make_unique<SoundDevice>();
        ASSERT_EQ(device->Create(nullptr), 0);
        mixer = device->directSound;
        // The test mixes by hand; the device's thread stays out of it.
        SDL_PauseAudioDevice(mixer->device, 1);
        const std::vector<uint8_t> wave =
            ConstantWave(mixer->sampleRate, 10000, -10000, mixer->sampleRate);
        ASSERT_EQ(sound.LoadFromMemory(device.get(), wave.data(), 1, wave.size()), 0);
        ASSERT_EQ(sound.PlayLooping(0, nullptr), 0);
    }
    void TearDown() override {
        sound.Unload();
        device.reset();
    }

    // The left and right value of the next mixed frame.
    std::pair<int16_t, int16_t> MixOne() {
        int16_t out[2 * 16];
        SDL_LockAudioDevice(mixer->device);
        mixer->Mix(out, 16);
        SDL_UnlockAudioDevice(mixer->device);
        return {out[0], out[1]};
    }

    std::unique_ptr<ScopedEnv> driver;
    std::unique_ptr<SoundDevice> device;
    Mixer* mixer = nullptr;
    SoundBuffer sound;
};

TEST_F(MasterVolumeTest, ScalesTheWholeMixAndMutes) {
    EXPECT_EQ(MixOne(), std::make_pair(int16_t{10000}, int16_t{-10000}));
    device->SetMasterVolume(70, false);
    EXPECT_EQ(MixOne(), std::make_pair(int16_t{7000}, int16_t{-7000}));
    device->SetMasterVolume(0, false);
    EXPECT_EQ(MixOne(), std::make_pair(int16_t{0}, int16_t{0}));
    device->SetMasterVolume(50, true);
    EXPECT_EQ(MixOne(), std::make_pair(int16_t{0}, int16_t{0}));
    EXPECT_TRUE(sound.IsPlaying(0));  // muted, the sound still runs its course
    // Out of range clamps; 100 % unmuted is the mix exactly as the voices make it.
    device->SetMasterVolume(250, false);
    EXPECT_EQ(MixOne(), std::make_pair(int16_t{10000}, int16_t{-10000}));
    device->SetMasterVolume(-5, false);
    EXPECT_EQ(MixOne(), std::make_pair(int16_t{0}, int16_t{0}));
}

TEST_F(MasterVolumeTest, PauseHoldsTheOutputAndTheVoices) {
    device->PauseOutput(true);
    EXPECT_EQ(SDL_GetAudioDeviceStatus(mixer->device), SDL_AUDIO_PAUSED);
    EXPECT_TRUE(sound.IsPlaying(0));
    device->PauseOutput(false);
    EXPECT_EQ(SDL_GetAudioDeviceStatus(mixer->device), SDL_AUDIO_PLAYING);
    EXPECT_TRUE(sound.IsPlaying(0));
}

TEST(MasterVolumeWithoutDevice, DoesNothing) {
    SoundDevice device;
    device.SetMasterVolume(30, true);
    device.PauseOutput(true);
    EXPECT_EQ(device.directSound, nullptr);
}

}  // namespace
