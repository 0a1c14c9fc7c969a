// FrameLimiter: keeps presents at 60 per second. After a mode set it measures
// how fast presents come back; while waiting for the display already gives
// 60 frames per second or fewer it does nothing, and once presents come back
// faster (vsync ignored, or a 120 or 144 Hz display) it holds them to 60.
#pragma once

#include <cstdint>

class FrameLimiter {
public:
    using Counter = uint64_t (*)();         // a high-resolution tick count
    using Sleeper = void (*)(uint32_t ms);  // a coarse wait

    static constexpr double targetRate = 60.0;
    // Presents per second above which the display is taken as not pacing us.
    static constexpr double fastRate = 61.5;
    static constexpr int32_t warmUpFrames =
        5;  // ignored after a reset (window mapping, first uploads)
    static constexpr int32_t measureFrames = 30;  // intervals per measurement

    FrameLimiter();  // SDL's performance counter and SDL_Delay
    FrameLimiter(Counter counter, uint64_t frequency, Sleeper sleeper);
    virtual ~FrameLimiter() = default;

    bool limiting = false;
    double measuredRate = 0.0;  // presents per second of the last finished measurement

    // Starts measuring again (a new mode, a new display).
    void Reset();
    // Called after every present: measures, and while limiting waits until
    // the frame's deadline.
    void FramePresented();

private:
    void WaitUntil(uint64_t deadline);

    Counter counter;
    uint64_t frequency;
    Sleeper sleeper;
    uint64_t period = 0;  // counter ticks per frame at targetRate
    int32_t framesSeen = 0;
    uint64_t measureStart = 0;
    int32_t measured = 0;
    uint64_t deadline = 0;
};
