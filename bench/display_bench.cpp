// The display's own per-frame work on an 800 x 600 memory Screen: one text,
// the frame-rate text, and presenting a separate back surface (the block copy
// to the front).
#include <benchmark/benchmark.h>

#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

Screen& MemoryScreen() {
    static Screen screen;
    if (screen.backSurface == nullptr) {
        screen.SetMemoryMode(800, 600);
    }
    return screen;
}

// One status text, from the glyph cache into the 16-bit back surface.
void BM_DrawText(benchmark::State& state) {
    Surface* back = MemoryScreen().backSurface;
    for (auto _ : state) {
        benchmark::DoNotOptimize(back->DrawText("Health: ", 25, 400, 0xFFFFFF));
    }
}
BENCHMARK(BM_DrawText);

void BM_DrawFrameRate(benchmark::State& state) {
    Screen& screen = MemoryScreen();
    for (auto _ : state) {
        screen.DrawFrameRate(screen.backSurface, 400, 550);
    }
}
BENCHMARK(BM_DrawFrameRate);

void BM_PresentSeparateBack(benchmark::State& state) {
    Screen& screen = MemoryScreen();
    for (auto _ : state) {
        benchmark::DoNotOptimize(screen.Present(0));
    }
}
BENCHMARK(BM_PresentSeparateBack);

}  // namespace
