// The frame-rate text and its once-a-second sampling.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/display/frame_rate_text.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

uint32_t fakeNow = 0;

uint32_t FakeClock() {
    return fakeNow;
}

std::string Format(double value) {
    char text[32];
    FormatFrameRate(value, text, sizeof text);
    return text;
}

}  // namespace

TEST(FrameRateText, FourSignificantDigitsInPlainOrExponentNotation) {
    EXPECT_EQ(Format(59.94), "59.94");
    EXPECT_EQ(Format(60.0), "60.");
    EXPECT_EQ(Format(123.456), "123.5");
    EXPECT_EQ(Format(0.12345), "0.1235");
    EXPECT_EQ(Format(0.0), "0.");
    EXPECT_EQ(Format(1234.4), "1234");
    EXPECT_EQ(Format(12345.6), "1.235e+004");
    EXPECT_EQ(Format(1.5), "1.5");
    EXPECT_EQ(Format(100.0), "100.");
    // Rounding decides the notation: 9999.7 has five digits once rounded.
    EXPECT_EQ(Format(9999.7), "1.e+004");
    EXPECT_EQ(Format(0.05), "5.e-002");
}

TEST(FrameRateText, ShortBufferIsCutAndTerminated) {
    char text[4];
    FormatFrameRate(59.94, text, sizeof text);
    EXPECT_STREQ(text, "59.");
}

TEST(FrameRateSampling, SamplesOnlyAfterMoreThanOneSecond) {
    Screen screen;
    screen.clock = FakeClock;
    fakeNow = 5000;
    // The first call samples at once (lastSampleTime starts at 0) and finds no frames.
    EXPECT_EQ(screen.CountFrame(), 1u);
    EXPECT_EQ(screen.lastSampleTime, 5000u);
    EXPECT_EQ(screen.framesPerSecond, 0.0);
    for (int i = 0; i < 59; ++i) {
        screen.CountFrame();
    }
    fakeNow = 6000;  // exactly 1000 ms: no sample
    EXPECT_EQ(screen.CountFrame(), 61u);
    EXPECT_EQ(screen.framesPerSecond, 0.0);
    fakeNow = 6001;
    EXPECT_EQ(screen.CountFrame(), 1u);
    EXPECT_DOUBLE_EQ(screen.framesPerSecond, 61 * 1000.0 / 1001);
}

TEST(FrameRateSampling, ARestartAfterAPauseKeepsTheRateAndMeasuresFromThen) {
    Screen screen;
    screen.clock = FakeClock;
    fakeNow = 5000;
    screen.CountFrame();
    for (int i = 0; i < 60; ++i) {
        screen.CountFrame();
    }
    fakeNow = 6001;
    screen.CountFrame();
    const double before = screen.framesPerSecond;
    EXPECT_GT(before, 59.0);
    // Ten seconds stood still, then the world goes on.
    fakeNow = 16001;
    screen.RestartFrameRate();
    EXPECT_EQ(screen.framesPerSecond, before);
    for (int i = 0; i < 60; ++i) {
        screen.CountFrame();
    }
    fakeNow = 17002;
    screen.CountFrame();
    EXPECT_DOUBLE_EQ(screen.framesPerSecond, 60 * 1000.0 / 1001);
}

TEST(FrameRateSampling, WrappingClockStillMeasuresTheInterval) {
    Screen screen;
    screen.clock = FakeClock;
    screen.lastSampleTime = 0xFFFFFF00u;
    screen.frameCount = 150;
    fakeNow = 0x4FF;  // 0x5FF = 1535 ms after the last sample
    screen.CountFrame();
    EXPECT_DOUBLE_EQ(screen.framesPerSecond, 150 * 1000.0 / 1535);
    EXPECT_EQ(screen.lastSampleTime, 0x4FFu);
}

TEST(FrameRateSampling, DrawFrameRateWritesFpsTextWhiteOnBlack) {
    Screen screen;
    ASSERT_EQ(screen.SetMemoryMode(200, 40), 0);
    screen.clock = FakeClock;
    fakeNow = 3000;
    Surface* drawn = screen.backSurface;
    drawn->Fill(0x1234);
    screen.DrawFrameRate(drawn, 10, 5);
    EXPECT_EQ(screen.frameCount, 1u);

    Surface expected;
    ASSERT_EQ(expected.Create(&screen, SurfaceKindClientMemory, 200, 40), 0);
    expected.Fill(0x1234);
    expected.DrawTextOpaque("FPS=0.", 10, 5, 0xFFFFFF, 0);
    for (int32_t row = 0; row < 40; ++row) {
        ASSERT_EQ(std::memcmp(static_cast<uint8_t*>(drawn->pixels) + row * drawn->pitch,
                              static_cast<uint8_t*>(expected.pixels) + row * expected.pitch, 400),
                  0)
            << "row " << row;
    }
}

// The default clock counts from the machine's start, so the first frame of a
// new Screen already samples (lastSampleTime starts at 0) and the first second
// reads 0, however soon after start-up the game draws it.
TEST(FrameRateSampling, FirstSecondOfTheDefaultClockReadsZero) {
    Screen screen;
    EXPECT_EQ(screen.CountFrame(), 1u);
    EXPECT_NE(screen.lastSampleTime, 0u);
    EXPECT_EQ(screen.framesPerSecond, 0.0);
    for (int i = 0; i < 30; ++i) {
        screen.CountFrame();
    }
    EXPECT_EQ(screen.framesPerSecond, 0.0);
}
