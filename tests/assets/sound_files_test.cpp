// The three wave files: 16-bit mono PCM, loud but unclipped, faded in and out,
// two release sounds of clearly different character and a rising charge hum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/assets/asset_files.h"

using namespace assettest;

namespace {

constexpr const char* waves[] = {"ZEMBA2.WAV", "SOUND_2.WAV", "EDIT.WAV"};

int Peak(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
    int peak = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i) {
        peak = std::max(peak, std::abs(int(s[i])));
    }
    return peak;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) {
        sum += double(s[i]) * s[i];
    }
    return std::sqrt(sum / double(to - from));
}

double CrossingsPerSecond(const Wave& w, size_t from, size_t to) {
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        crossings += (w.samples[i - 1] < 0) != (w.samples[i] < 0) ? 1 : 0;
    }
    return crossings * double(w.rate) / double(to - from);
}

// Energy-weighted mean frequency in hertz: the slope's energy against the
// signal's (for a sine of frequency f their ratio is (2 pi f / rate) squared).
double RmsFrequency(const Wave& w) {
    double signal = 0;
    double slope = 0;
    for (size_t i = 1; i < w.samples.size(); ++i) {
        double d = double(w.samples[i]) - w.samples[i - 1];
        signal += double(w.samples[i]) * w.samples[i];
        slope += d * d;
    }
    return std::sqrt(slope / signal) * w.rate / (2 * 3.14159265358979);
}

TEST(WaveFiles, AreMono16BitPcmPeakingBelowMinusOneDecibelWithFades) {
    const int limit = int(32767 * std::pow(10.0, -1.0 / 20));
    for (const char* name : waves) {
        SCOPED_TRACE(name);
        Wave w = Wave::Read(name);
        ASSERT_TRUE(w.valid);
        EXPECT_EQ(w.formatTag, 1u);
        EXPECT_EQ(w.channels, 1u);
        EXPECT_EQ(w.bits, 16u);
        EXPECT_TRUE(w.rate == 22050 || w.rate == 44100) << w.rate;
        ASSERT_GT(w.samples.size(), w.rate / 10);
        int peak = Peak(w.samples);
        EXPECT_LE(peak, limit);
        EXPECT_GE(peak, 16384) << "quieter than -6 dBFS";
        // No click at either end: the first and last milliseconds stay near zero.
        size_t ms = w.rate / 1000;
        EXPECT_LT(Peak(w.samples, 0, ms), peak / 3);
        EXPECT_LT(Peak(w.samples, w.samples.size() - ms), peak / 3);
        EXPECT_LT(std::abs(int(w.samples.front())), 200);
        EXPECT_LT(std::abs(int(w.samples.back())), 200);
    }
}

TEST(WaveFiles, ReleasesAreShortAndDifferInCharacter) {
    Wave first = Wave::Read("ZEMBA2.WAV");
    Wave second = Wave::Read("SOUND_2.WAV");
    ASSERT_TRUE(first.valid && second.valid);
    for (const Wave* w : {&first, &second}) {
        EXPECT_GT(w->Seconds(), 0.2);
        EXPECT_LT(w->Seconds(), 1.2);
    }
    // The first fighter's release is deep, the second's bright and thin.
    double deep = RmsFrequency(first);
    double bright = RmsFrequency(second);
    EXPECT_GT(bright, deep * 1.6) << deep << " vs " << bright;
}

TEST(WaveFiles, ChargeHumLastsAFullChargeAndRises) {
    Wave w = Wave::Read("EDIT.WAV");
    ASSERT_TRUE(w.valid);
    EXPECT_GT(w.Seconds(), 1.8);
    EXPECT_LT(w.Seconds(), 2.4);
    size_t n = w.samples.size();
    size_t part = w.rate / 2;
    // Skip the fade at the very end; compare the opening and the closing stretch.
    size_t end = n - w.rate / 10;
    EXPECT_GT(Rms(w.samples, end - part, end), Rms(w.samples, w.rate / 10, w.rate / 10 + part));
    EXPECT_GT(CrossingsPerSecond(w, end - part, end),
              CrossingsPerSecond(w, w.rate / 10, w.rate / 10 + part) * 1.3);
}

}  // namespace
