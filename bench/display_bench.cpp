// The display's own per-frame work on an 800 x 600 memory Screen: one text,
// the frame-rate text, and presenting a separate back surface (the block copy
// to the front); and the whole picture converted and scaled to the screen as
// the present paths do when every row changed, at 1x, 1.6x, 1.8x, 2x and 2.4x.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/display/frame_converter.h"
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

// Argument: the scaled picture's width (its height keeps the 4:3 shape).
void BM_ScaleWholePicture(benchmark::State& state) {
    constexpr int32_t width = 800;
    constexpr int32_t height = 600;
    const auto placedWidth = static_cast<int32_t>(state.range(0));
    const int32_t placedHeight = placedWidth * 3 / 4;
    std::vector<uint16_t> picture(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<uint16_t>(i * 2654435761u >> 17);
    }
    std::vector<uint32_t> target(static_cast<size_t>(placedWidth) * placedHeight);
    FrameConverter converter;
    converter.Prepare(SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_RGB888, width, height);
    converter.SetPlacement(Placement{0, 0, placedWidth, placedHeight, placedWidth, placedHeight});
    int32_t written[4];
    for (auto _ : state) {
        converter.Draw(reinterpret_cast<const uint8_t*>(picture.data()), width * 2, 0, 0, width,
                       height, reinterpret_cast<uint8_t*>(target.data()), placedWidth * 4, written);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * placedWidth * placedHeight);
}
BENCHMARK(BM_ScaleWholePicture)->Arg(800)->Arg(1280)->Arg(1440)->Arg(1600)->Arg(1920);

}  // namespace
