// Carving a 54 x 54 crater into the game's 400 x 400 field, once wholly inside it
// and once across its left edge (left cut) and its bottom-right corner.
#include <benchmark/benchmark.h>

#include "bench/rle_bench_art.h"
#include "rules/terrain_field.h"

namespace {

void CarveAt(benchmark::State& state, int32_t column, int32_t row) {
    RleSprite crater;
    bench_art::Encode(crater, nullptr, bench_art::Disc(54), 54, 54, 1);
    TerrainField field;
    field.Generate(400, 400);
    for (auto _ : state) {
        field.Carve(column, row, crater);
        benchmark::DoNotOptimize(field.cells);
        benchmark::ClobberMemory();
    }
}

void BM_CarveMiddle(benchmark::State& state) {
    CarveAt(state, 200, 200);
}
void BM_CarveAcrossLeftEdge(benchmark::State& state) {
    CarveAt(state, 5, 200);
}
void BM_CarveAcrossCorner(benchmark::State& state) {
    CarveAt(state, 395, 395);
}

}  // namespace

BENCHMARK(BM_CarveMiddle);
BENCHMARK(BM_CarveAcrossLeftEdge);
BENCHMARK(BM_CarveAcrossCorner);
