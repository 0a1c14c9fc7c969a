// FrameLimiter: the measurement that decides whether to limit, and the wait
// for each frame's deadline on an absolute clock.
#include "engine/display/frame_limiter.h"

#include <cerrno>
#include <ctime>

uint64_t FrameLimiter::MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

// SDL_Delay sleeps whole milliseconds from "now" and overshoots by up to one
// more, which is why a wait on it has to spin for the rest; an absolute
// deadline on CLOCK_MONOTONIC wakes within tens of microseconds and does not
// drift when the thread was late to go to sleep.
void FrameLimiter::SleepUntilNanoseconds(uint64_t deadline) {
    timespec until{};
    until.tv_sec = static_cast<time_t>(deadline / 1000000000u);
    until.tv_nsec = static_cast<long>(deadline % 1000000000u);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

FrameLimiter::FrameLimiter()
    : FrameLimiter(MonotonicNanoseconds, 1000000000u, SleepUntilNanoseconds) {}

FrameLimiter::FrameLimiter(Counter counter, uint64_t frequency, SleepUntil sleeper)
    : counter(counter), frequency(frequency > 0 ? frequency : 1), sleeper(sleeper) {
    period = static_cast<uint64_t>(static_cast<double>(this->frequency) / targetRate);
    if (period == 0) {
        period = 1;
    }
}

void FrameLimiter::Reset(bool displayMayWait) {
    limiting = !displayMayWait;
    startLimiting = limiting;
    measuredRate = 0.0;
    framesSeen = 0;
    measured = 0;
}

void FrameLimiter::SetWaiter(Waiter newWaiter, void* context) {
    waiter = newWaiter;
    waiterContext = context;
}

void FrameLimiter::FramePresented() {
    const uint64_t now = counter();
    if (startLimiting) {
        startLimiting = false;
        deadline = now;
    }
    if (limiting) {
        const uint64_t next = deadline + period;
        if (now < next) {
            if (waiter != nullptr) {
                waiter(waiterContext, next);
            } else {
                sleeper(next);
            }
            deadline = next;
        } else {
            // Late: start the next frame's period now rather than rushing
            // several frames to catch up.
            deadline = now - next > period ? now : next;
        }
        return;
    }
    // Measure continuously while not limiting, so a display that stops pacing
    // later (the window moved to a faster monitor) is still caught.
    ++framesSeen;
    if (framesSeen <= warmUpFrames) {
        measureStart = now;
        measured = 0;
        return;
    }
    ++measured;
    if (measured < measureFrames) {
        return;
    }
    const uint64_t elapsed = now - measureStart;
    measuredRate = elapsed > 0 ? measured * static_cast<double>(frequency) / elapsed : 1e9;
    measureStart = now;
    measured = 0;
    if (measuredRate > fastRate) {
        limiting = true;
        deadline = now;
    }
}
