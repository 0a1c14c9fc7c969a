// The frame limiter's choice between trusting the display and pacing itself,
// on a simulated clock.
#include <gtest/gtest.h>

#include "engine/display/frame_limiter.h"

namespace {

// Simulated time in microseconds; reading it costs one microsecond.
uint64_t now = 0;
int sleeps = 0;

uint64_t Counter() {
    return now++;
}

// Wakes exactly at the deadline, as an absolute sleep does.
void SleepUntil(uint64_t deadline) {
    ++sleeps;
    if (now < deadline) {
        now = deadline;
    }
}

// Presents the given number of frames, each taking `frameMicros` before the
// limiter is called; returns the simulated time they took in all.
uint64_t RunFrames(FrameLimiter& limiter, int frames, uint64_t frameMicros) {
    const uint64_t start = now;
    for (int i = 0; i < frames; ++i) {
        now += frameMicros;
        limiter.FramePresented();
    }
    return now - start;
}

}  // namespace

TEST(FrameLimiter, DisplayPacingAtSixtyOrSlowerIsLeftAlone) {
    FrameLimiter limiter(Counter, 1000000, SleepUntil);
    RunFrames(limiter, 200, 16667);
    EXPECT_FALSE(limiter.limiting);
    EXPECT_NEAR(limiter.measuredRate, 60.0, 0.5);
    RunFrames(limiter, 200, 20000);  // a 50 Hz display keeps its own rate
    EXPECT_FALSE(limiter.limiting);
    EXPECT_NEAR(limiter.measuredRate, 50.0, 0.5);
}

TEST(FrameLimiter, FastPresentsAreHeldToSixty) {
    FrameLimiter limiter(Counter, 1000000, SleepUntil);
    RunFrames(limiter, 40, 6944);  // a 144 Hz display
    EXPECT_TRUE(limiter.limiting);
    const uint64_t elapsed = RunFrames(limiter, 120, 6944);
    EXPECT_NEAR(elapsed / 120.0, 16666.0, 50.0);
}

TEST(FrameLimiter, AFastDisplayIsCaughtAfterASlowStart) {
    FrameLimiter limiter(Counter, 1000000, SleepUntil);
    RunFrames(limiter, 100, 16667);
    EXPECT_FALSE(limiter.limiting);
    RunFrames(limiter, 40, 100);  // vsync stopped being honoured
    EXPECT_TRUE(limiter.limiting);
    limiter.Reset();
    EXPECT_FALSE(limiter.limiting);
}

TEST(FrameLimiter, LateFramesAreNotFollowedByABurst) {
    FrameLimiter limiter(Counter, 1000000, SleepUntil);
    RunFrames(limiter, 40, 100);
    ASSERT_TRUE(limiter.limiting);
    RunFrames(limiter, 1, 100000);  // one long stall
    const uint64_t elapsed = RunFrames(limiter, 10, 100);
    EXPECT_GE(elapsed, 10 * 16000u);
}

TEST(FrameLimiter, ADisplayThatCannotWaitIsLimitedFromTheFirstFrame) {
    FrameLimiter limiter(Counter, 1000000, SleepUntil);
    limiter.Reset(false);
    EXPECT_TRUE(limiter.limiting);
    sleeps = 0;
    const uint64_t elapsed = RunFrames(limiter, 60, 100);
    // One sleep per frame, each to the next absolute deadline: sixty frames
    // take sixty periods, with no drift from the clock reads.
    EXPECT_EQ(sleeps, 60);
    EXPECT_NEAR(elapsed, 60 * 16666.0 + 100, 100.0);
    limiter.Reset();
    EXPECT_FALSE(limiter.limiting);
}

// A waiter takes the sleep's place: it is handed each frame's deadline, and
// the pace is kept as when sleeping.
TEST(FrameLimiter, AWaiterIsHandedTheDeadlineInsteadOfTheSleep) {
    FrameLimiter limiter(Counter, 1000000, SleepUntil);
    RunFrames(limiter, 40, 100);
    ASSERT_TRUE(limiter.limiting);
    struct Waits {
        int calls = 0;
        uint64_t lastDeadline = 0;
    } waits;
    limiter.SetWaiter(
        [](void* context, uint64_t deadline) {
            auto* seen = static_cast<Waits*>(context);
            ++seen->calls;
            seen->lastDeadline = deadline;
            now = deadline;
        },
        &waits);
    const int sleepsBefore = sleeps;
    const uint64_t elapsed = RunFrames(limiter, 60, 100);
    EXPECT_EQ(waits.calls, 60);
    EXPECT_EQ(sleeps, sleepsBefore);
    EXPECT_NEAR(elapsed / 60.0, 16666.0, 50.0);
    EXPECT_LE(waits.lastDeadline, now);
    limiter.SetWaiter(nullptr, nullptr);
    RunFrames(limiter, 10, 100);
    EXPECT_EQ(sleeps, sleepsBefore + 10);
}
