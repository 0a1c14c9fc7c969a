// FrameLimiter: the measurement that decides whether to limit, and the
// deadline wait (coarse sleep, then a short spin on the counter).
#include "engine/display/frame_limiter.h"

#include <SDL.h>

namespace {

uint64_t SdlCounter() {
    return SDL_GetPerformanceCounter();
}

void SdlSleep(uint32_t ms) {
    SDL_Delay(ms);
}

}  // namespace

FrameLimiter::FrameLimiter() : FrameLimiter(SdlCounter, SDL_GetPerformanceFrequency(), SdlSleep) {}

FrameLimiter::FrameLimiter(Counter counter, uint64_t frequency, Sleeper sleeper)
    : counter(counter), frequency(frequency > 0 ? frequency : 1), sleeper(sleeper) {
    period = static_cast<uint64_t>(static_cast<double>(this->frequency) / targetRate);
    if (period == 0) {
        period = 1;
    }
}

void FrameLimiter::Reset() {
    limiting = false;
    measuredRate = 0.0;
    framesSeen = 0;
    measured = 0;
}

void FrameLimiter::FramePresented() {
    const uint64_t now = counter();
    if (limiting) {
        const uint64_t next = deadline + period;
        if (now < next) {
            WaitUntil(next);
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

void FrameLimiter::WaitUntil(uint64_t target) {
    // Sleep while more than 2 ms remain (sleeps overshoot by about a
    // millisecond), then spin for the rest.
    const uint64_t margin = frequency / 500;
    for (uint64_t now = counter(); now < target; now = counter()) {
        const uint64_t remaining = target - now;
        if (remaining > margin) {
            sleeper(static_cast<uint32_t>((remaining - margin) * 1000 / frequency));
        }
    }
}
