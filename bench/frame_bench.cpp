// Whole frames of the game with its real art: the rules and the picture with 0,
// 20 and 200 blasts in flight, one view alone, the world's set-up; the same two
// views drawn with SDL's own colour-keyed blitter for comparison, and the floor
// of filling the back surface. A summary with the ratios closes the run.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/game_view.h"
#include "art/asset_path.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"
#include "rules/next_random.h"
#include "rules/world_step.h"

namespace {

constexpr int32_t displayWidth = 800;
constexpr int32_t displayHeight = 600;
constexpr Rect viewClips[fighterCount] = {{0, 0, 398, 398}, {401, 0, 799, 398}};

#if KIVORO_PIXEL_565
constexpr uint32_t pixelLayout = SDL_PIXELFORMAT_RGB565;
#else
constexpr uint32_t pixelLayout = SDL_PIXELFORMAT_RGB555;
#endif

// The starting scene: the world as SetUpWorld leaves it, cameras on their
// fighters. Every benchmark puts it back before it starts, and the frame
// benchmarks after every frame, so each frame digs the same fresh terrain.
struct StartingScene {
    bool ready = false;
    std::vector<uint8_t> cells;
    Fighter savedFighters[fighterCount];
    KiBlast savedBlasts[blastPoolSize];
    int32_t savedBlastCount = 0;

    StartingScene() {
        if (screen.SetMemoryMode(displayWidth, displayHeight) != 0) {
            return;
        }
        ResetRandom();
        SetUpWorld();
        if (dirtTiles[0].rleData == nullptr || terrain.cells == nullptr) {
            return;
        }
        for (Fighter& fighter : fighters) {
            fighter.UpdateCamera();
        }
        cells.assign(terrain.cells, terrain.cells + terrain.width * terrain.height);
        std::copy(fighters, fighters + fighterCount, savedFighters);
        ready = true;
    }

    // The world of the start with count blasts in flight, spread over both
    // views, every size, flying every way.
    void Restore(int32_t count) {
        std::copy(cells.begin(), cells.end(), terrain.cells);
        std::copy(savedFighters, savedFighters + fighterCount, fighters);
        blastCount = 0;
        for (int32_t i = 0; i < count && i < blastPoolSize; ++i) {
            const Fighter& owner = fighters[i % fighterCount];
            KiBlast& blast = blasts[blastCount++];
            blast.Launch(owner.cameraX + 20 + (i * 53) % 360, owner.cameraY + 20 + (i * 97) % 360,
                         (i * 37) % 360, 15, static_cast<uint8_t>(i % 4));
            blast.shooter = static_cast<uint8_t>(i % fighterCount);
            blast.power = static_cast<uint8_t>(10 + i % 80);
        }
        std::copy(blasts, blasts + blastPoolSize, savedBlasts);
        savedBlastCount = blastCount;
    }

    // Back to the scene of the last Restore, cheaply enough to run between frames.
    void Rewind() {
        std::copy(cells.begin(), cells.end(), terrain.cells);
        std::copy(savedFighters, savedFighters + fighterCount, fighters);
        std::copy(savedBlasts, savedBlasts + blastPoolSize, blasts);
        blastCount = savedBlastCount;
    }
};

StartingScene& Scene() {
    static StartingScene scene;
    return scene;
}

bool Ready(benchmark::State& state) {
    if (!Scene().ready) {
        state.SkipWithError("the generated art was not found");
        return false;
    }
    return true;
}

// The peer: every sprite cell as its own SDL surface in the display's 16-bit
// layout, colour-keyed with run-length acceleration, the mirrored fighter
// frames flipped once in advance (SDL blits cannot mirror), drawn with
// SDL_BlitSurface into an 800 x 600 surface under SDL_SetClipRect.
struct PeerScene {
    bool ready = false;
    SDL_Surface* target = nullptr;
    std::vector<SDL_Surface*> tiles;
    std::vector<SDL_Surface*> fighterFrames[fighterCount];
    std::vector<SDL_Surface*> mirroredFrames[fighterCount];
    std::vector<SDL_Surface*> blastImages;
    SDL_Surface* reticle = nullptr;
    std::vector<SDL_Surface*> owned;

    static SDL_Surface* LoadSheet(const char* name) {
        SDL_Surface* file = SDL_LoadBMP(AssetPath(name).c_str());
        if (file == nullptr) {
            return nullptr;
        }
        SDL_Surface* sheet = SDL_ConvertSurfaceFormat(file, pixelLayout, 0);
        SDL_FreeSurface(file);
        return sheet;
    }

    SDL_Surface* Cell(SDL_Surface* sheet, int32_t column, int32_t row, int32_t w, int32_t h,
                      bool mirrored, uint32_t key) {
        SDL_Surface* cell = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, pixelLayout);
        if (cell == nullptr) {
            return nullptr;
        }
        owned.push_back(cell);
        SDL_Rect from{column * w, row * h, w, h};
        SDL_BlitSurface(sheet, &from, cell, nullptr);
        if (mirrored) {
            for (int32_t y = 0; y < h; ++y) {
                auto* line = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(cell->pixels) +
                                                         y * cell->pitch);
                std::reverse(line, line + w);
            }
        }
        SDL_SetColorKey(cell, SDL_TRUE | SDL_RLEACCEL, key);
        return cell;
    }

    void CutSheet(std::vector<SDL_Surface*>& cells, const char* name, int32_t count, int32_t w,
                  int32_t h, int32_t perRow, bool mirrored, uint32_t key) {
        SDL_Surface* sheet = LoadSheet(name);
        for (int32_t j = 0; j < count; ++j) {
            cells.push_back(sheet != nullptr
                                ? Cell(sheet, j % perRow, j / perRow, w, h, mirrored, key)
                                : nullptr);
        }
        SDL_FreeSurface(sheet);
    }

    PeerScene() {
        target = SDL_CreateRGBSurfaceWithFormat(0, displayWidth, displayHeight, 16, pixelLayout);
        SDL_Surface* first = LoadSheet("TORVIK.BMP");
        if (target == nullptr || first == nullptr) {
            SDL_FreeSurface(first);
            return;
        }
        const uint32_t key = static_cast<const uint16_t*>(first->pixels)[0];
        SDL_FreeSurface(first);
        CutSheet(blastImages, "BLAST.BMP", blastSpriteCount, 54, 54, blastSpriteCount, false, key);
        CutSheet(tiles, "DIRT.BMP", dirtTileCount, 8, 8, 8, false, key);
        CutSheet(fighterFrames[1], "MELSAR.BMP", secondFighterFrameCount, 48, 48, 5, false, key);
        CutSheet(mirroredFrames[1], "MELSAR.BMP", secondFighterFrameCount, 48, 48, 5, true, key);
        CutSheet(fighterFrames[0], "TORVIK.BMP", firstFighterFrameCount, 48, 48, 5, false, key);
        CutSheet(mirroredFrames[0], "TORVIK.BMP", firstFighterFrameCount, 48, 48, 5, true, key);
        std::vector<SDL_Surface*> reticles;
        CutSheet(reticles, "TARGET.BMP", 1, 21, 21, 1, false, key);
        reticle = reticles[0];
        ready = reticle != nullptr && tiles[0] != nullptr;
    }

    ~PeerScene() {
        for (SDL_Surface* surface : owned) {
            SDL_FreeSurface(surface);
        }
        SDL_FreeSurface(target);
    }

    void Blit(SDL_Surface* image, int32_t x, int32_t y) {
        if (image != nullptr) {
            SDL_Rect at{x, y, 0, 0};
            SDL_BlitSurface(image, nullptr, target, &at);
        }
    }

    // The game's view, step for step, with SDL blits in place of the sprites.
    void DrawView(int32_t v) {
        const Rect& clip = viewClips[v];
        SDL_Rect rect{clip.left, clip.top, clip.right - clip.left + 1, clip.bottom - clip.top + 1};
        SDL_SetClipRect(target, &rect);
        const int32_t left = clip.left;
        const int32_t cameraX = fighters[v].cameraX;
        const int32_t cameraY = fighters[v].cameraY;

        const int32_t firstColumn = cameraX / 8;
        const int32_t firstRow = cameraY / 8;
        const int32_t lastColumn =
            std::min(firstColumn + 50 + (cameraX % 8 != 0 ? 1 : 0), terrain.width);
        const int32_t lastRow =
            std::min(firstRow + 50 + (cameraY % 8 != 0 ? 1 : 0), terrain.height);
        int32_t screenY = firstRow * 8 - cameraY;
        for (int32_t row = firstRow; row < lastRow; ++row, screenY += 8) {
            const uint8_t* cell = terrain.cells + row * terrain.width + firstColumn;
            int32_t screenX = firstColumn * 8 - cameraX + left;
            for (int32_t column = firstColumn; column < lastColumn;
                 ++column, ++cell, screenX += 8) {
                if (*cell != 0 && *cell <= dirtTileCount) {
                    Blit(tiles[*cell - 1], screenX, screenY);
                }
            }
        }
        for (int32_t f = 0; f < fighterCount; ++f) {
            Fighter& fighter = fighters[f];
            const int32_t bob = fighter.state == StateIdle ? fighter.bobOffset : 0;
            const uint8_t frame = fighter.CurrentFrame();
            const auto& frames = fighter.facing != 0 ? fighterFrames[f] : mirroredFrames[f];
            if (frame < frames.size()) {
                Blit(frames[frame], fighter.x - cameraX + left, fighter.y - cameraY + bob);
            }
        }
        for (int32_t i = 0; i < blastCount; ++i) {
            const KiBlast& blast = blasts[i];
            if (blast.size < blastSizeCount) {
                Blit(blastImages[blastSpriteTable.drawSprite[blast.size]],
                     blast.x - cameraX + left - 26, blast.y - cameraY - 26);
            }
        }
        Blit(reticle, fighters[v].ReticleX() + left, fighters[v].ReticleY());
    }
};

PeerScene& Peer() {
    static PeerScene peer;
    return peer;
}

void OurViews() {
    Surface* surface = screen.backSurface;
    if (surface->Lock() == 0) {
        DrawView(0);
        DrawView(1);
        surface->Unlock();
    }
}

void BM_Frame(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    Scene().Restore(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        StepWorld(0, 0);
        DrawFrame();
        benchmark::ClobberMemory();
        state.PauseTiming();
        Scene().Rewind();
        state.ResumeTiming();
    }
}

void BM_TwoViews(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    Scene().Restore(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        OurViews();
        benchmark::ClobberMemory();
    }
}

void BM_PeerTwoViews(benchmark::State& state) {
    if (!Ready(state) || !Peer().ready) {
        state.SkipWithError("the peer's sheets could not be loaded");
        return;
    }
    Scene().Restore(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        Peer().DrawView(0);
        Peer().DrawView(1);
        benchmark::ClobberMemory();
    }
}

void BM_DrawView(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    Scene().Restore(0);
    for (auto _ : state) {
        DrawView(0);
        benchmark::ClobberMemory();
    }
}

// The twelve status texts and the frame rate on the unlocked back surface.
void BM_StatusPanel(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    Scene().Restore(0);
    for (auto _ : state) {
        DrawStatusPanel();
        benchmark::ClobberMemory();
    }
}

// The floor under any frame: the black fill of the 960 000-byte back surface.
void BM_FillBackSurface(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    for (auto _ : state) {
        screen.backSurface->Fill(0);
        benchmark::ClobberMemory();
    }
}

void BM_SetUpWorld(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    for (auto _ : state) {
        ResetRandom();
        SetUpWorld();
    }
    Scene().Restore(0);
}

// Draws the scene with count blasts both ways onto black and counts the view
// pixels that differ, to show that both sides draw the same picture.
int64_t DifferingPixels(int32_t count) {
    Scene().Restore(count);
    const Fighter before[fighterCount] = {fighters[0], fighters[1]};
    screen.backSurface->Fill(0);
    OurViews();
    std::copy(before, before + fighterCount, fighters);
    SDL_Surface* target = Peer().target;
    SDL_SetClipRect(target, nullptr);
    SDL_FillRect(target, nullptr, 0);
    Peer().DrawView(0);
    Peer().DrawView(1);
    int64_t differing = 0;
    for (int32_t y = 0; y < displayHeight; ++y) {
        const auto* ours = reinterpret_cast<const uint16_t*>(
            static_cast<const uint8_t*>(screen.backSurface->pixels) +
            y * screen.backSurface->pitch);
        const auto* theirs = reinterpret_cast<const uint16_t*>(
            static_cast<const uint8_t*>(target->pixels) + y * target->pitch);
        for (int32_t x = 0; x < displayWidth; ++x) {
            differing += ours[x] != theirs[x] ? 1 : 0;
        }
    }
    return differing;
}

// Keeps the console output and remembers each benchmark's real and processor
// time per iteration, in nanoseconds, for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = 0.0;
        double cpu = 0.0;
    };
    std::map<std::string, Times> nanoseconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With repetitions the median, which is reported last, stands.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((run.run_type == Run::RT_Iteration || median) && !run.error_occurred) {
                const double toNanoseconds = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
                nanoseconds[run.run_name.str()] = Times{run.GetAdjustedRealTime() * toNanoseconds,
                                                        run.GetAdjustedCPUTime() * toNanoseconds};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    Times Find(const std::string& name) const {
        const auto found = nanoseconds.find(name);
        return found != nanoseconds.end() ? found->second : Times{};
    }
};

// Real time is what a player waits; processor time is steadier on a shared
// machine, so the ratio is given on both.
void PrintSummary(const SummaryReporter& reporter) {
    std::printf("\nns per frame (real / processor)\n");
    const auto line = [&reporter](const char* label, const std::string& name) {
        const SummaryReporter::Times times = reporter.Find(name);
        if (times.real > 0) {
            std::printf("  %-38s %10.0f / %10.0f\n", label, times.real, times.cpu);
        }
    };
    char label[64];
    char name[64];
    for (const int32_t count : {0, 20, 200}) {
        std::snprintf(label, sizeof label, "full frame, %d blasts in flight", count);
        std::snprintf(name, sizeof name, "BM_Frame/%d", count);
        line(label, name);
    }
    for (const int32_t count : {0, 20, 200}) {
        char theirsName[64];
        std::snprintf(label, sizeof label, "our two views, %d blasts", count);
        std::snprintf(name, sizeof name, "BM_TwoViews/%d", count);
        line(label, name);
        std::snprintf(label, sizeof label, "SDL blitter's two views, %d blasts", count);
        std::snprintf(theirsName, sizeof theirsName, "BM_PeerTwoViews/%d", count);
        line(label, theirsName);
        const SummaryReporter::Times a = reporter.Find(name);
        const SummaryReporter::Times b = reporter.Find(theirsName);
        // The goals: 0.35 of SDL's time with few blasts, 0.45 with 200 in flight.
        const double target = count >= 200 ? 0.45 : 0.35;
        if (a.real > 0 && b.real > 0) {
            std::printf("  %-38s %10.3f / %10.3f   (target %.2f: %s)\n", "ratio ours / SDL",
                        a.real / b.real, a.cpu / b.cpu, target,
                        a.real / b.real <= target && a.cpu / b.cpu <= target ? "met" : "missed");
        }
    }
    line("one view alone", "BM_DrawView");
    line("status panel", "BM_StatusPanel");
    line("floor: filling the back surface", "BM_FillBackSurface");
    line("SetUpWorld", "BM_SetUpWorld");
}

}  // namespace

BENCHMARK(BM_Frame)->Arg(0)->Arg(20)->Arg(200);
BENCHMARK(BM_TwoViews)->Arg(0)->Arg(20)->Arg(200);
BENCHMARK(BM_PeerTwoViews)->Arg(0)->Arg(20)->Arg(200);
BENCHMARK(BM_DrawView);
BENCHMARK(BM_StatusPanel);
BENCHMARK(BM_FillBackSurface);
BENCHMARK(BM_SetUpWorld)->Unit(benchmark::kMillisecond);

// The program's own main, so the summary can follow the benchmarks' table.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    if (Scene().ready && Peer().ready) {
        for (const int32_t count : {0, 20, 200}) {
            std::printf("views with %d blasts: %lld pixels differ between ours and SDL's\n", count,
                        static_cast<long long>(DifferingPixels(count)));
        }
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintSummary(reporter);
    return 0;
}
