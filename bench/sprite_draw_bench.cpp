// Drawing run-length sprites into an 800 x 600 back surface held in memory: the
// game's 8 x 8 dirt tile (alone and as a whole view of tiles) and a 48 x 48
// keyed fighter frame, plain and mirrored, clipped and unclipped.
#include <benchmark/benchmark.h>

#include "bench/rle_bench_art.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

// The left view's clip rectangle: 399 x 399 pixels at the top-left.
constexpr Rect viewClip{0, 0, 398, 398};

struct DrawScene {
    Screen screen;
    RleSprite tile;
    RleSprite fighter;
    bool ready = false;

    DrawScene() {
        if (screen.SetMemoryMode(800, 600) != 0 || screen.backSurface == nullptr) {
            return;
        }
        screen.clip = viewClip;
        ready = bench_art::Encode(tile, &screen, bench_art::Tile(8), 8, 8, 1) &&
                bench_art::Encode(fighter, &screen, bench_art::Figure(48), 48, 48, 1);
    }
};

DrawScene& Scene() {
    static DrawScene scene;
    return scene;
}

bool Ready(benchmark::State& state) {
    if (!Scene().ready) {
        state.SkipWithError("no memory display");
        return false;
    }
    return true;
}

// One tile at positions that step through the view, wholly inside the clip.
void BM_DrawTileInside(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    const RleSprite& tile = Scene().tile;
    int32_t x = 0;
    for (auto _ : state) {
        tile.Draw(x, 200);
        x = x < 384 ? x + 8 : 0;
    }
    benchmark::ClobberMemory();
}

// A whole view of tiles, 51 x 51 of them at a camera offset that cuts the outer
// ring at the clip edges, as the views draw the terrain. Counted per tile.
void BM_DrawTileView(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    const RleSprite& tile = Scene().tile;
    constexpr int32_t offset = 5;
    for (auto _ : state) {
        for (int32_t row = 0; row < 51; ++row) {
            for (int32_t column = 0; column < 51; ++column) {
                tile.Draw(column * 8 - offset, row * 8 - offset);
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 51 * 51);
}

enum class FighterDraw { Plain, Mirrored, PlainUnclipped, MirroredUnclipped };

// The fighter frame wholly inside the view (range(1) = 0) or across its left and
// bottom edges (range(1) = 1).
void BM_DrawFighter(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    const RleSprite& fighter = Scene().fighter;
    const auto how = static_cast<FighterDraw>(state.range(0));
    const bool across = state.range(1) != 0;
    const int32_t x = across ? -17 : 150;
    const int32_t y = across ? 370 : 150;
    for (auto _ : state) {
        switch (how) {
            case FighterDraw::Plain:
                fighter.Draw(x, y);
                break;
            case FighterDraw::Mirrored:
                fighter.DrawMirrored(x, y);
                break;
            case FighterDraw::PlainUnclipped:
                benchmark::DoNotOptimize(fighter.DrawUnclipped(x, y));
                break;
            case FighterDraw::MirroredUnclipped:
                benchmark::DoNotOptimize(fighter.DrawMirroredUnclipped(x, y));
                break;
        }
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_DrawTileInside);
BENCHMARK(BM_DrawTileView);
BENCHMARK(BM_DrawFighter)
    ->ArgNames({"kind", "acrossEdge"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Args({3, 0});
