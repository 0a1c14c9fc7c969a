// The computer player's cost per frame: one Controls call, timed alone (the
// rules' frame between two calls is not counted). Whole matches between two
// players of one level from the game's start, so the mix of frames is the
// game's own, with counters for the mean call and the worst one seen; and a
// crowded frame, every slot of the blast pool in flight around the player,
// the most it ever has to look at. The worst call is taken in the thread's
// own processor time, so that the machine handing the processor to another
// program in the middle of a call does not count as the player's cost; and
// since interrupts are still charged to whichever thread they land on, the
// steadiest worst replays one match three times, calls for the same bytes,
// and keeps each call's least time before taking the worst of them.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

#include "ai/computer_player.h"
#include "art/rules_world.h"
#include "rules/world_state.h"
#include "rules/world_step.h"

namespace {

using Clock = std::chrono::steady_clock;

// Processor time this thread has used, in seconds.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Three minutes at 60 frames a second.
constexpr int32_t matchFrames = 10800;

void PlayMatches(benchmark::State& state, ComputerLevel level) {
    SetUpRulesWorld();
    auto first = std::make_unique<ComputerPlayer>(0, level, 1);
    auto second = std::make_unique<ComputerPlayer>(1, level, 2);
    int32_t frame = 0;
    int64_t calls = 0;
    double total = 0.0;
    double worst = 0.0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const double startCpu = ThreadSeconds();
        const uint8_t a = first->Controls(frame);
        const Clock::time_point middle = Clock::now();
        const double middleCpu = ThreadSeconds();
        const uint8_t b = second->Controls(frame);
        const Clock::time_point end = Clock::now();
        const double endCpu = ThreadSeconds();
        const double one = std::chrono::duration<double>(middle - start).count();
        const double two = std::chrono::duration<double>(end - middle).count();
        worst = std::max({worst, middleCpu - startCpu, endCpu - middleCpu});
        total += one + two;
        calls += 2;
        state.SetIterationTime((one + two) / 2);
        StepWorld(a, b);
        if (++frame == matchFrames) {
            // A new match: not timed, the clock runs only around the calls.
            SetUpRulesWorld();
            first = std::make_unique<ComputerPlayer>(0, level, static_cast<uint64_t>(calls));
            second = std::make_unique<ComputerPlayer>(1, level, static_cast<uint64_t>(calls) + 1);
            frame = 0;
        }
    }
    state.counters["mean_us"] = calls > 0 ? total / static_cast<double>(calls) * 1e6 : 0.0;
    state.counters["worst_us"] = worst * 1e6;
}

void BM_ComputerPlayerMatch(benchmark::State& state) {
    PlayMatches(state, static_cast<ComputerLevel>(state.range(0)));
}

// Every slot of the pool in flight, the other fighter's blasts all over the
// player's view, every one of them coming straight at it.
void BM_ComputerPlayerCrowded(benchmark::State& state) {
    SetUpRulesWorld();
    const Fighter& me = fighters[1];
    const int32_t cx = me.x + 24;
    const int32_t cy = me.y + 24;
    blastCount = 0;
    // A ring 120 to 200 pixels out, due in 8 to 13 frames: every plan the
    // player weighs runs for a while before a blast meets it.
    for (int32_t i = 0; i < blastPoolSize; ++i) {
        KiBlast& blast = blasts[blastCount++];
        const double around = i * 6.2831853 / blastPoolSize;
        const double out = 120 + (i % 5) * 20;
        const auto x = static_cast<int32_t>(cx + out * std::cos(around));
        const auto y = static_cast<int32_t>(cy + out * std::sin(around));
        const auto angle =
            static_cast<int32_t>(std::lround(std::atan2(cy - y, cx - x) * 57.29578 + 360)) % 360;
        blast.Launch(x, y, angle, 15, static_cast<uint8_t>(i % 4));
        blast.shooter = 0;
        blast.power = 40;
    }
    ComputerPlayer player(1, ComputerLevel::Hard, 1);
    int32_t frame = 0;
    double least = 1.0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const double startCpu = ThreadSeconds();
        benchmark::DoNotOptimize(player.Controls(frame++));
        least = std::min(least, ThreadSeconds() - startCpu);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    // The world stands still, so every call does the same work: the least
    // time is that work with nothing else on the processor.
    state.counters["least_us"] = least * 1e6;
}

// One hard match replayed three times: per call the least processor time of
// the three, then the worst call and the 99.9th percentile.
void BM_ComputerPlayerWorstCall(benchmark::State& state) {
    constexpr int32_t runs = 3;
    std::vector<double> least(2 * matchFrames);
    for (auto _ : state) {
        std::fill(least.begin(), least.end(), 1.0);
        for (int32_t run = 0; run < runs; ++run) {
            SetUpRulesWorld();
            ComputerPlayer first(0, ComputerLevel::Hard, 1);
            ComputerPlayer second(1, ComputerLevel::Hard, 2);
            for (int32_t frame = 0; frame < matchFrames; ++frame) {
                const double start = ThreadSeconds();
                const uint8_t a = first.Controls(frame);
                const double middle = ThreadSeconds();
                const uint8_t b = second.Controls(frame);
                const double end = ThreadSeconds();
                least[2 * frame] = std::min(least[2 * frame], middle - start);
                least[2 * frame + 1] = std::min(least[2 * frame + 1], end - middle);
                StepWorld(a, b);
            }
        }
    }
    std::sort(least.begin(), least.end());
    state.counters["worst_us"] = least.back() * 1e6;
    state.counters["p999_us"] = least[least.size() * 999 / 1000] * 1e6;
    state.counters["mean_us"] =
        std::accumulate(least.begin(), least.end(), 0.0) / static_cast<double>(least.size()) * 1e6;
}

}  // namespace

// Two whole matches per level (easy 0, normal 1, hard 2).
BENCHMARK(BM_ComputerPlayerMatch)
    ->Arg(static_cast<int>(ComputerLevel::Easy))
    ->Arg(static_cast<int>(ComputerLevel::Normal))
    ->Arg(static_cast<int>(ComputerLevel::Hard))
    ->Iterations(2 * matchFrames)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputerPlayerCrowded)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputerPlayerWorstCall)->Iterations(1)->Unit(benchmark::kMillisecond);
