// What a rollback costs: taking a world snapshot, restoring one, and re-running
// eight frames with 20 blasts in flight (taking a snapshot before each, as the
// session does for frames still predicted). Together they must stay well
// inside a display frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "rules/fighter.h"
#include "rules/headless_world.h"
#include "rules/world_snapshot.h"
#include "rules/world_state.h"
#include "rules/world_step.h"

namespace {

constexpr int32_t rerunFrames = 8;
constexpr int32_t blastsInFlight = 20;

// Twenty blasts of all sizes and both players over the middle of the field,
// slow enough that none leaves it within the frames re-run.
void FillPool() {
    blastCount = 0;
    for (int32_t i = 0; i < blastsInFlight; ++i) {
        KiBlast& blast = blasts[blastCount++];
        blast.Launch(600 + (i * 137) % 2000, 600 + (i * 251) % 2000, (i * 37) % 360, 15,
                     static_cast<uint8_t>(i % 4));
        blast.shooter = static_cast<uint8_t>(i % 2);
        blast.power = static_cast<uint8_t>(10 + i % 90);
    }
}

void BM_SnapshotTake(benchmark::State& state) {
    ResetHeadlessWorld();
    FillPool();
    WorldSnapshot snapshot;
    snapshot.AllocateForWorld();
    for (auto _ : state) {
        snapshot.Take();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SnapshotTake);

void BM_SnapshotRestore(benchmark::State& state) {
    ResetHeadlessWorld();
    FillPool();
    WorldSnapshot snapshot;
    snapshot.AllocateForWorld();
    snapshot.Take();
    for (auto _ : state) {
        snapshot.Restore();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SnapshotRestore);

// The world a rollback starts from, and a snapshot for each re-run frame.
struct Rerun {
    Rerun() {
        ResetHeadlessWorld();
        FillPool();
        start.AllocateForWorld();
        start.Take();
        for (WorldSnapshot& snapshot : before) {
            snapshot.AllocateForWorld();
        }
    }
    // Eight frames of both fighters flying, aiming and charging through the
    // blasts, each preceded by a snapshot, as the session re-runs them.
    void Frames() {
        for (int32_t f = 0; f < rerunFrames; ++f) {
            before[f].Take();
            StepWorld(ControlRight | ControlDown, ControlCharge | ControlUp);
        }
        benchmark::DoNotOptimize(blastCount);
    }
    WorldSnapshot start;
    WorldSnapshot before[rerunFrames];
};

// The re-run alone, from the same world every time.
void BM_Rerun8FramesWith20Blasts(benchmark::State& state) {
    Rerun rerun;
    for (auto _ : state) {
        state.PauseTiming();
        rerun.start.Restore();
        state.ResumeTiming();
        rerun.Frames();
    }
}
BENCHMARK(BM_Rerun8FramesWith20Blasts);

// The whole rollback as the session makes it: restore, then the re-run.
void BM_Rollback8FramesWith20Blasts(benchmark::State& state) {
    Rerun rerun;
    for (auto _ : state) {
        rerun.start.Restore();
        rerun.Frames();
    }
}
BENCHMARK(BM_Rollback8FramesWith20Blasts);

}  // namespace
