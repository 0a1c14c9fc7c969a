// Sound buffers on a real (dummy-driver) device. The device is paused so that
// the tests drive the mix themselves and read exact output frames.
#include "engine/sound/sound_buffer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/sound/mixer.h"
#include "engine/sound/sound_device.h"
#include "tests/sound/scoped_env.h"
#include "tests/sound/wave_builder.h"

using namespace wavetest;

namespace {

class SoundBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(device.Create(nullptr), 0);
        SDL_PauseAudioDevice(device.directSound->device, 1);
    }

    int Load(const std::vector<uint8_t>& image, int32_t count = 1) {
        return sound.LoadFromMemory(&device, image.data(), count, image.size());
    }

    // Mixes `frames` output frames as the audio callback would.
    std::vector<int16_t> Mix(int32_t frames) {
        std::vector<int16_t> out(2 * frames);
        SDL_LockAudioDevice(device.directSound->device);
        device.directSound->Mix(out.data(), frames);
        SDL_UnlockAudioDevice(device.directSound->device);
        return out;
    }

    int32_t Rate() const { return device.directSound->sampleRate; }

    ScopedEnv driver{"SDL_AUDIODRIVER", "dummy"};
    SoundDevice device;
    SoundBuffer sound;  // declared after the device, so it is unloaded first
};

}  // namespace

TEST_F(SoundBufferTest, OneShotPlaysOnceThenClearsItsPlayingBitAndRewinds) {
    ASSERT_EQ(Load(ConstantWave(100, 1000, -500, Rate())), 0);
    EXPECT_EQ(sound.playBufferCount, 1);
    EXPECT_EQ(sound.Play(), 0);
    EXPECT_TRUE(sound.IsPlaying(0));
    const auto out = Mix(150);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[1], -500);
    EXPECT_EQ(out[2 * 99], 1000);
    EXPECT_EQ(out[2 * 100], 0);
    EXPECT_FALSE(sound.IsPlaying(0));
    EXPECT_EQ(sound.Play(), 0);
    EXPECT_EQ(Mix(1)[0], 1000);
}

TEST_F(SoundBufferTest, BusyBuffersRefuseAPlayWithoutInterruptingIt) {
    ASSERT_EQ(Load(ConstantWave(100, 1000, 1000, Rate()), 0), 0);
    EXPECT_EQ(sound.playBufferCount, 1);  // a count below 1 gives one buffer
    EXPECT_EQ(sound.Play(), 0);
    Mix(50);
    EXPECT_EQ(sound.Play(), 20);
    EXPECT_EQ(Mix(50)[2 * 49], 1000);  // the running play went on from frame 50
    EXPECT_FALSE(sound.IsPlaying(0));
    EXPECT_EQ(sound.Play(), 0);
}

TEST_F(SoundBufferTest, DuplicatesShareSamplesAndOverlappingPlaysAddUp) {
    ASSERT_EQ(Load(ConstantWave(64, 1000, 300, Rate()), 3), 0);
    ASSERT_EQ(sound.playBufferCount, 3);
    EXPECT_EQ(sound.Play(), 0);
    EXPECT_EQ(sound.Play(), 0);
    const auto out = Mix(1);
    EXPECT_EQ(out[0], 2000);
    EXPECT_EQ(out[1], 600);
    EXPECT_TRUE(sound.IsPlaying(0));
    EXPECT_TRUE(sound.IsPlaying(1));
    EXPECT_FALSE(sound.IsPlaying(2));
    EXPECT_FALSE(sound.IsPlaying(-1));
    EXPECT_FALSE(sound.IsPlaying(3));
}

TEST_F(SoundBufferTest, OnlyReservedSlotsAnswerStopAndSetters) {
    ASSERT_EQ(Load(ConstantWave(1000, 1000, 1000, Rate()), 2), 0);
    EXPECT_EQ(sound.Play(), 0);  // slot 0, not reserved
    EXPECT_EQ(sound.StopBuffer(0), 0);
    EXPECT_TRUE(sound.IsPlaying(0));
    EXPECT_FALSE(sound.SetBufferVolume(0, -600));

    int32_t index = 99;
    EXPECT_EQ(sound.PlayAtVolume(0, &index), 0);
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(sound.SetBufferVolume(1, -600));
    EXPECT_EQ(sound.Play(&index), 20);  // slot 0 playing, slot 1 reserved
    EXPECT_EQ(index, -1);
    EXPECT_EQ(sound.StopBuffer(2), 55);
    EXPECT_EQ(sound.StopBuffer(1), 0);
    EXPECT_FALSE(sound.IsPlaying(1));
    EXPECT_FALSE(sound.SetBufferVolume(1, 0));  // no longer reserved

    EXPECT_EQ(sound.StopAll(), 0);
    EXPECT_FALSE(sound.IsPlaying(0));
    EXPECT_EQ(Mix(4)[0], 0);
}

TEST_F(SoundBufferTest, VolumePanAndFrequencyShapeTheMix) {
    ASSERT_EQ(Load(ConstantWave(100, 10000, 10000, Rate()), 1), 0);
    EXPECT_EQ(sound.PlayAtVolume(1, nullptr), 21);  // above full volume
    EXPECT_EQ(sound.PlayAtVolume(-10001, nullptr), 21);
    int32_t index = -1;
    ASSERT_EQ(sound.PlayAtVolume(-600, &index), 0);  // -6 dB: about half
    auto out = Mix(1);
    EXPECT_NEAR(out[0], 5012, 2);
    EXPECT_TRUE(sound.SetBufferVolume(index, 0));
    EXPECT_TRUE(sound.SetBufferPan(index, 10000));  // full right silences the left
    out = Mix(1);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 10000);
    // Half the rate plays each frame twice: the 98 frames left last 196.
    EXPECT_TRUE(sound.SetBufferFrequency(index, Rate() / 2));
    Mix(195);
    EXPECT_TRUE(sound.IsPlaying(index));
    Mix(1);
    EXPECT_FALSE(sound.IsPlaying(index));
    EXPECT_FALSE(sound.SetBufferPan(5, 0));
}

TEST_F(SoundBufferTest, LoopingPlaysUntilStopped) {
    ASSERT_EQ(Load(ConstantWave(10, 700, 700, Rate())), 0);
    int32_t index = -1;
    ASSERT_EQ(sound.PlayLooping(0, &index), 0);
    const auto out = Mix(35);
    EXPECT_EQ(out[2 * 34], 700);
    EXPECT_TRUE(sound.IsPlaying(index));
    EXPECT_EQ(sound.StopBuffer(index), 0);
    EXPECT_FALSE(sound.IsPlaying(index));
}

TEST_F(SoundBufferTest, ConvertsOtherFormatsToTheDeviceFormat) {
    // 8-bit mono: 0xC0 is +64 steps above the 0x80 centre.
    std::vector<uint8_t> chunks;
    PutChunk(chunks, "fmt ", FormatBody(1, 1, Rate(), 8));
    PutChunk(chunks, "data", std::vector<uint8_t>(33, 0xC0));  // odd: padded
    ASSERT_EQ(Load(Riff(chunks)), 0);
    EXPECT_EQ(sound.dataSize, 33u);
    EXPECT_EQ(sound.Play(), 0);
    auto out = Mix(1);
    EXPECT_NEAR(out[0], 64 * 256, 2);
    EXPECT_EQ(out[0], out[1]);

    // 24-bit stereo, little-endian: left 0x100000 (1/8 of full scale), right -1/8.
    std::vector<uint8_t> deep;
    PutChunk(deep, "fmt ", FormatBody(1, 2, Rate(), 24));
    PutChunk(deep, "data", {0x00, 0x00, 0x10, 0x00, 0x00, 0xF0});
    ASSERT_EQ(Load(Riff(deep)), 0);
    EXPECT_EQ(sound.Play(), 0);
    out = Mix(1);
    EXPECT_NEAR(out[0], 4096, 2);
    EXPECT_NEAR(out[1], -4096, 2);

    // 32-bit float mono at half scale.
    std::vector<uint8_t> floats;
    PutChunk(floats, "fmt ", FormatBody(3, 1, Rate(), 32));
    PutChunk(floats, "data", {0x00, 0x00, 0x00, 0x3F});
    ASSERT_EQ(Load(Riff(floats)), 0);
    EXPECT_EQ(sound.Play(), 0);
    out = Mix(1);
    EXPECT_NEAR(out[0], 16384, 2);
    EXPECT_NEAR(out[1], 16384, 2);
}

TEST_F(SoundBufferTest, DamagedOrUnplayableImagesGiveTheirCodes) {
    std::vector<uint8_t> shortFormat;
    PutChunk(shortFormat, "fmt ", std::vector<uint8_t>(12, 0));
    PutChunk(shortFormat, "data", StereoFrames(4, 1, 1));
    EXPECT_EQ(Load(Riff(shortFormat)), 18);
    EXPECT_EQ(Load({'R', 'I', 'F', 'X'}), 18);

    std::vector<uint8_t> compressed;
    PutChunk(compressed, "fmt ", FormatBody(2, 2, 44100, 4));
    PutChunk(compressed, "data", StereoFrames(4, 1, 1));
    EXPECT_EQ(Load(Riff(compressed)), 19);

    std::vector<uint8_t> noData;
    PutChunk(noData, "fmt ", FormatBody(1, 2, 44100, 16));
    EXPECT_EQ(Load(Riff(noData)), 19);
    EXPECT_EQ(sound.Play(), 20);  // a failed load plays nothing

    // Data cut short mid-frame keeps the whole frames that are there.
    std::vector<uint8_t> cut;
    PutChunk(cut, "fmt ", FormatBody(1, 2, 44100, 16));
    PutChunk(cut, "data", StereoFrames(5, 1, 1), 400);
    auto image = Riff(cut);
    image.resize(image.size() - 2);
    ASSERT_EQ(Load(image), 0);
    EXPECT_EQ(sound.dataSize, 16u);
}

TEST_F(SoundBufferTest, FilesAndBlocksLoadThroughTheSameChecks) {
    EXPECT_EQ(sound.LoadFromFile(&device, "/nonexistent/kivoro.wav", 1), 12);
    EXPECT_EQ(sound.LoadFromFile(&device, ::testing::TempDir().c_str(), 1), 12);  // a folder

    const auto image = ConstantWave(20, 100, 100, Rate());
    const std::string path = ::testing::TempDir() + "kivoro_sound_test.wav";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);
    EXPECT_EQ(sound.LoadFromFile(&device, path.c_str(), 2), 0);
    EXPECT_EQ(sound.playBufferCount, 2);
    std::remove(path.c_str());

    auto* block = new uint8_t[image.size()];
    std::copy(image.begin(), image.end(), block);
    EXPECT_EQ(sound.LoadFromBlock(&device, block, image.size(), 1), 0);
    EXPECT_EQ(sound.LoadFromBlock(&device, nullptr, 10, 1), 13);
}

TEST_F(SoundBufferTest, SoundsOfADeviceWhoseNewCreateFailedAnswer51) {
    ASSERT_EQ(Load(ConstantWave(100, 1000, -500, Rate()), 2), 0);
    {
        ScopedEnv noOutput("SDL_AUDIODRIVER", "no-such-driver");
        ASSERT_EQ(device.Create(nullptr), 16);
    }
    EXPECT_EQ(sound.FindFreeBuffer(), -1);
    EXPECT_EQ(sound.Play(), 51);
    EXPECT_FALSE(sound.IsPlaying(0));
    EXPECT_FALSE(sound.SetBufferVolume(0, 0));
    sound.Unload();
    EXPECT_EQ(sound.playBufferCount, 0);
}

TEST(SoundWithoutDevice, EveryRequestAnswers51AndTheFileIsNotOpened) {
    SoundDevice unopened;
    SoundBuffer sound;
    EXPECT_EQ(sound.LoadFromFile(&unopened, "/nonexistent/kivoro.wav", 1), 51);
    EXPECT_EQ(sound.LoadFromFile(nullptr, "x.wav", 1), 51);
    const auto image = ConstantWave(4, 1, 1);
    EXPECT_EQ(sound.LoadFromMemory(&unopened, image.data(), 1, image.size()), 51);
    auto* block = new uint8_t[4];
    EXPECT_EQ(sound.LoadFromBlock(&unopened, block, 4, 1), 51);
    delete[] block;  // on 51 the block stays the caller's
    EXPECT_EQ(sound.Play(), 51);
    EXPECT_EQ(sound.StopAll(), 51);
    EXPECT_EQ(sound.StopBuffer(0), 51);
    EXPECT_FALSE(sound.IsPlaying(0));
    EXPECT_FALSE(sound.SetBufferPan(0, 0));
}

TEST(SoundDeviceCreate, AnswersSixteenWhenNoOutputCanBeOpened) {
    SoundDevice device;
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        EXPECT_EQ(device.Create(nullptr), 16);
    }
    EXPECT_TRUE(device.muted);
    EXPECT_EQ(device.directSound, nullptr);
    SoundBuffer sound;
    const auto image = ConstantWave(4, 1, 1);
    EXPECT_EQ(sound.LoadFromMemory(&device, image.data(), 1, image.size()), 51);
}
