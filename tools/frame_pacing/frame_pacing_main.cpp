// kivoro_frame_pacing [FRAMES] [--play]
//
// Starts the game as the program does (window, display, world) on whatever
// display SDL finds, lets 60 frames settle, then times FRAMES more presents
// (600 by default) and prints the mean, 99th percentile and worst interval
// between them, and the processor time the process used meanwhile as a share
// of one core. Idle play by default; --play keeps both players flying,
// charging and firing. The game's keys are not read: Escape is not needed.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app_loop.h"
#include "app/game_view.h"
#include "engine/display/app_window.h"
#include "engine/display/desktop.h"
#include "engine/display/frame_limiter.h"
#include "engine/display/screen.h"
#include "engine/display/window_messages.h"
#include "platform/fighter_sounds.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "platform/set_up_world.h"
#include "rules/fighter.h"
#include "rules/world_step.h"

namespace {

constexpr int32_t settleFrames = 60;

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Both players turn, fly and charge at different rhythms, so blasts fly and dig.
uint8_t PlayControls(int32_t player, int32_t frame) {
    const int32_t phase = frame + player * 31;
    uint8_t controls = phase % 70 < 45 ? ControlCharge : 0;
    controls |= (phase / 50) % 2 == 0 ? ControlUp : ControlDown;
    controls |= (phase / 120) % 2 == 0 ? ControlRight : 0;
    return controls;
}

}  // namespace

int main(int argc, char** argv) {
    long frames = 600;
    bool play = false;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        if (std::strcmp(argv[i], "--play") == 0) {
            play = true;
        } else if (const long value = std::strtol(argv[i], &end, 10); *end == '\0' && value > 1) {
            frames = value;
        } else {
            std::fprintf(stderr, "usage: %s [FRAMES] [--play]\n", argv[0]);
            return 2;
        }
    }
    const DisplaySize desktop = PrimaryDisplaySize();
    if (!appWindow.CreateWithProc("Kivoro", nullptr, GameWindowProc, WS_POPUP, 0, 0, desktop.width,
                                  desktop.height) ||
        screen.Open() != 0 ||
        screen.SetFullScreenMode(0, appWindow.window, pictureWidth, pictureHeight, pictureBits) !=
            0) {
        std::fprintf(stderr, "kivoro_frame_pacing: cannot open the display\n");
        return 1;
    }
    SetUpWorld();

    std::vector<double> intervals;
    intervals.reserve(static_cast<size_t>(frames));
    uint64_t last = 0;
    double processorStart = 0;
    uint64_t wallStart = 0;
    for (long frame = 0; frame < settleFrames + frames; ++frame) {
        if (!appWindow.PumpMessage()) {
            std::fprintf(stderr, "kivoro_frame_pacing: the window was closed\n");
            return 1;
        }
        const auto index = static_cast<int32_t>(frame);
        StepWorld(play ? PlayControls(0, index) : 0, play ? PlayControls(1, index) : 0);
        fighterSounds.Heard(index, frameEvents);
        DrawFrame();
        screen.Present(0);
        const uint64_t now = FrameLimiter::MonotonicNanoseconds();
        if (frame == settleFrames - 1) {
            processorStart = ProcessorSeconds();
            wallStart = now;
        } else if (frame >= settleFrames) {
            intervals.push_back((now - last) / 1e6);
        }
        last = now;
    }
    const double processor = ProcessorSeconds() - processorStart;
    const double wall = (last - wallStart) / 1e9;

    double sum = 0;
    for (double interval : intervals) {
        sum += interval;
    }
    std::vector<double> sorted = intervals;
    std::sort(sorted.begin(), sorted.end());
    const size_t p99 = std::min(sorted.size() - 1, sorted.size() * 99 / 100);
    std::printf(
        "%zu intervals (%s): mean %.3f ms, p99 %.3f ms, worst %.3f ms; "
        "processor %.1f %% of one core; %s\n",
        intervals.size(), play ? "play" : "idle", sum / intervals.size(), sorted[p99],
        sorted.back(), 100.0 * processor / wall,
        screen.frameLimiter->limiting ? "paced by the frame limiter" : "paced by the display");
    return 0;
}
