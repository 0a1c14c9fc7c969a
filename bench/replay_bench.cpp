// The cost of recording a match: one frame into the replay writer (its bytes
// written out every 30 frames), the rules digest it keeps every 60 frames, and
// the two together as the frame loop pays them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "replay/replay_writer.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"

namespace {

// Five minutes at 60 frames per second: each recording is finished and a new
// one begun after this many frames, so the file stays the size of a match.
constexpr int64_t matchFrames = 18000;

std::string BenchFile() {
    return (std::filesystem::temp_directory_path() /
            ("kivoro_replay_bench_" + std::to_string(getpid()) + ".kvr"))
        .string();
}

template <typename DigestFn>
void RecordMatches(benchmark::State& state, DigestFn digest) {
    const std::string file = BenchFile();
    ReplayWriter writer;
    if (!writer.Open(file, 1)) {
        state.SkipWithError(writer.Problem().c_str());
        return;
    }
    int64_t frame = 0;
    for (auto _ : state) {
        writer.RecordFrame(static_cast<uint8_t>(frame), static_cast<uint8_t>(frame >> 3), digest);
        if (++frame % matchFrames == 0) {
            state.PauseTiming();
            writer.Finish(0);
            writer.Open(file, 1);
            state.ResumeTiming();
        }
    }
    writer.Finish(0);
    std::remove(file.c_str());
    state.SetItemsProcessed(state.iterations());
}

// The writer alone, handed a digest that costs nothing.
void BM_RecordFrame(benchmark::State& state) {
    RecordMatches(state, [] { return uint64_t{0x5EED}; });
}

// The rules digest of the starting field (terrain, fighters, blasts, random
// state), which the game computes for the writer every 60 frames.
void BM_DigestRules(benchmark::State& state) {
    ResetHeadlessWorld();
    for (auto _ : state) {
        benchmark::DoNotOptimize(DigestRules());
    }
}

// Both, per frame, as the frame loop will pay them.
void BM_RecordFrameWithRulesDigest(benchmark::State& state) {
    ResetHeadlessWorld();
    RecordMatches(state, DigestRules);
}

}  // namespace

BENCHMARK(BM_RecordFrame);
BENCHMARK(BM_DigestRules)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordFrameWithRulesDigest);
