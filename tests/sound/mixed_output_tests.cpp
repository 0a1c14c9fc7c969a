// What the mixer really sends to the device: the disk audio driver writes the
// mixed stream to a file in real time, and the tests read it back. They wait
// for the file to grow rather than for a time to pass, since the driver's
// thread may be slow to run on a busy machine.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/sound/mixer.h"
#include "engine/sound/sound_buffer.h"
#include "engine/sound/sound_device.h"
#include "tests/sound/scoped_env.h"
#include "tests/sound/wave_builder.h"

using namespace wavetest;

namespace {

class MixedOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = ::testing::TempDir() + "kivoro_mix_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw";
        std::remove(path.c_str());
        driver = std::make_unique<ScopedEnv>("SDL_AUDIODRIVER", "disk");
        file = std::make_unique<ScopedEnv>("SDL_DISKAUDIOFILE", path.c_str());
        device = std::make_unique<SoundDevice>();
        ASSERT_EQ(device->Create(nullptr), 0);
        rate = device->directSound->sampleRate;
    }

    void TearDown() override {
        sound.Unload();
        device.reset();
        std::remove(path.c_str());
    }

    int Load(const std::vector<uint8_t>& image, int32_t count) {
        return sound.LoadFromMemory(device.get(), image.data(), count, image.size());
    }

    // Frames the device has written to the file so far.
    uint64_t FramesWritten() const {
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size(path, error);
        return error ? 0 : size / 4;
    }

    // Waits until the device has written `frames` more frames than `from`;
    // false after 10 s (many times what that takes).
    bool WaitForFrames(uint64_t from, uint64_t frames) {
        for (int32_t waited = 0; waited < 10000; waited += 5) {
            if (FramesWritten() >= from + frames) {
                return true;
            }
            SDL_Delay(5);
        }
        return false;
    }

    bool WaitUntilSilent(int32_t timeoutMs = 5000) {
        for (int32_t waited = 0; waited < timeoutMs; waited += 5) {
            bool any = false;
            for (int32_t i = 0; i < sound.playBufferCount; ++i) {
                any = any || sound.IsPlaying(i);
            }
            if (!any) {
                return true;
            }
            SDL_Delay(5);
        }
        return false;
    }

    // Closes the device, so the file is complete, and returns its left channel.
    std::vector<int32_t> LeftChannel() {
        sound.Unload();
        device.reset();
        std::vector<int32_t> left;
        FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            return left;
        }
        int16_t frame[2];
        while (std::fread(frame, sizeof frame, 1, file) == 1) {
            left.push_back(frame[0]);
        }
        std::fclose(file);
        return left;
    }

    std::string path;
    std::unique_ptr<ScopedEnv> driver;
    std::unique_ptr<ScopedEnv> file;
    std::unique_ptr<SoundDevice> device;
    SoundBuffer sound;
    int32_t rate = 0;
};

// Index of the first and one past the last non-zero value.
std::pair<size_t, size_t> SoundingSpan(const std::vector<int32_t>& left) {
    size_t first = left.size();
    size_t last = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        if (left[i] != 0) {
            first = std::min(first, i);
            last = i + 1;
        }
    }
    return {first, last};
}

}  // namespace

TEST_F(MixedOutputTest, PlayedSampleAppearsWholeOnceAndItsPlayingBitClears) {
    const uint32_t frames = static_cast<uint32_t>(rate / 10);
    ASSERT_EQ(Load(ConstantWave(frames, 1000, -1000, rate), 1), 0);
    SDL_Delay(30);
    ASSERT_EQ(sound.Play(), 0);
    ASSERT_TRUE(WaitUntilSilent());
    SDL_Delay(60);
    const auto left = LeftChannel();
    const auto [first, last] = SoundingSpan(left);
    ASSERT_LT(first, left.size());
    EXPECT_EQ(last - first, frames);
    for (size_t i = first; i < last; ++i) {
        ASSERT_EQ(left[i], 1000) << "frame " << i;
    }
}

TEST_F(MixedOutputTest, TwoOverlappingPlaysAddUp) {
    const uint32_t frames = static_cast<uint32_t>(rate / 2);
    ASSERT_EQ(Load(ConstantWave(frames, 1000, 1000, rate), 2), 0);
    ASSERT_EQ(sound.Play(), 0);
    ASSERT_EQ(sound.Play(), 0);
    ASSERT_TRUE(WaitUntilSilent());
    const auto left = LeftChannel();
    int64_t total = 0;
    int32_t peak = 0;
    for (int32_t v : left) {
        ASSERT_TRUE(v == 0 || v == 1000 || v == 2000) << v;
        total += v;
        peak = std::max(peak, v);
    }
    // However far apart the two starts fell, both plays are there in full.
    EXPECT_EQ(total, 2 * int64_t{frames} * 1000);
    EXPECT_EQ(peak, 2000);
}

TEST_F(MixedOutputTest, StopAllSilencesAtOnce) {
    const uint32_t frames = static_cast<uint32_t>(rate * 2);
    ASSERT_EQ(Load(ConstantWave(frames, 1000, 1000, rate), 1), 0);
    ASSERT_EQ(sound.Play(), 0);
    // A fifth of a second of the two is out, then the rest is stopped, and
    // three tenths of a second follow.
    ASSERT_TRUE(WaitForFrames(FramesWritten(), static_cast<uint64_t>(rate / 5)));
    ASSERT_EQ(sound.StopAll(), 0);
    EXPECT_FALSE(sound.IsPlaying(0));
    ASSERT_TRUE(WaitForFrames(FramesWritten(), static_cast<uint64_t>(rate * 3 / 10)));
    const auto left = LeftChannel();
    const auto [first, last] = SoundingSpan(left);
    ASSERT_LT(first, last);
    EXPECT_LT(last - first, frames);
    EXPECT_GE(left.size() - last, 1024u);
}

TEST_F(MixedOutputTest, PlayAndWaitReturnsAtTheEndAndKeepsTheSlotReserved) {
    ASSERT_EQ(Load(ConstantWave(static_cast<uint32_t>(rate / 20), 500, 500, rate), 1), 0);
    EXPECT_EQ(sound.PlayAndWait(0), 0);
    EXPECT_FALSE(sound.IsPlaying(0));
    EXPECT_TRUE(sound.playBuffers[0].reserved);
    EXPECT_EQ(sound.PlayAndWait(0), 20);  // the only slot is still reserved
    sound.ReleaseBuffer(0);
    EXPECT_EQ(sound.PlayAndWait(0), 0);
}
