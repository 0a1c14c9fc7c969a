// One frame of the game's rules (both fighters, blast flight and carving, both
// cameras) in the headless world with 0, 20 and 200 blasts in flight.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

#include "rules/headless_world.h"
#include "rules/world_state.h"
#include "rules/world_step.h"

namespace {

// Fills the pool with count blasts spread over the field, all sizes and both
// shooters, flying in many directions at the game's blast speed.
void FillPool(int32_t count) {
    blastCount = 0;
    for (int32_t i = 0; i < count; ++i) {
        KiBlast& blast = blasts[blastCount++];
        blast.Launch(200 + (i * 137) % 2800, 1000 + (i * 251) % 2000, (i * 37) % 360, 15,
                     static_cast<uint8_t>(i % 4));
        blast.shooter = static_cast<uint8_t>(i % 2);
        blast.power = static_cast<uint8_t>(10 + i % 90);
    }
}

void BM_RulesFrame(benchmark::State& state) {
    const auto count = static_cast<int32_t>(state.range(0));
    ResetHeadlessWorld();
    FillPool(count);
    // Every frame starts from the same pool, so none of the blasts runs out of the
    // field or hits a fighter over the run; the copy back is a few kilobytes.
    KiBlast saved[blastPoolSize];
    std::copy(blasts, blasts + blastPoolSize, saved);
    for (auto _ : state) {
        StepWorld(0, 0);
        benchmark::DoNotOptimize(blastCount);
        std::copy(saved, saved + blastPoolSize, blasts);
        blastCount = count;
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_RulesFrame)->Arg(0)->Arg(20)->Arg(200);
