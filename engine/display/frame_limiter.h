// FrameLimiter: keeps presents at 60 per second. After a mode set it measures
// how fast presents come back; while waiting for the display already gives
// 60 frames per second or fewer it does nothing, and once presents come back
// faster (vsync ignored, or a 120 or 144 Hz display) it holds them to 60. A
// display that cannot wait at all is limited from the first frame.
#pragma once

#include <cstdint>

class FrameLimiter {
public:
    using Counter = uint64_t (*)();               // a monotonic tick count
    using SleepUntil = void (*)(uint64_t ticks);  // returns at or after that count

    static constexpr double targetRate = 60.0;
    // Presents per second above which the display is taken as not pacing us.
    static constexpr double fastRate = 61.5;
    // Ignored after a reset (window mapping, first uploads).
    static constexpr int32_t warmUpFrames = 5;
    static constexpr int32_t measureFrames = 30;  // intervals per measurement

    FrameLimiter();  // the monotonic clock in nanoseconds, an absolute sleep on it
    FrameLimiter(Counter counter, uint64_t frequency, SleepUntil sleeper);
    virtual ~FrameLimiter() = default;

    // Nanoseconds of CLOCK_MONOTONIC (time since boot), and an absolute sleep
    // until such a time. The sleep ends on the kernel's timer, not by polling.
    static uint64_t MonotonicNanoseconds();
    static void SleepUntilNanoseconds(uint64_t deadline);

    bool limiting = false;
    double measuredRate = 0.0;  // presents per second of the last finished measurement

    // Starts again after a new mode or display: measuring when the display
    // may wait for its refresh, limiting at once when it cannot.
    void Reset(bool displayMayWait = true);
    // Called after every present: measures, and while limiting waits until
    // the frame's deadline.
    void FramePresented();

    // Something to do while a frame waits for its deadline (an online match
    // reads its packets as they come): called with the deadline, on the
    // limiter's counter, in place of the sleep; it returns at or after it.
    // Null: the sleep.
    using Waiter = void (*)(void* context, uint64_t deadline);
    void SetWaiter(Waiter waiter, void* context);

private:
    Counter counter;
    uint64_t frequency;
    SleepUntil sleeper;
    Waiter waiter = nullptr;
    void* waiterContext = nullptr;
    uint64_t period = 0;  // counter ticks per frame at targetRate
    int32_t framesSeen = 0;
    uint64_t measureStart = 0;
    int32_t measured = 0;
    uint64_t deadline = 0;
    bool startLimiting = false;  // the first present of a limited run sets the deadline
};
