// The Screen on SDL's dummy video driver: mode sets, presenting, restoring
// after a renderer reset, the display lists and the 60 fps pacing.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/display/dirty_rect_list.h"
#include "engine/display/display_driver.h"
#include "engine/display/frame_converter.h"
#include "engine/display/frame_limiter.h"
#include "engine/display/palette.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("screen test", 0, 0, 1024, 768, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        if (window != nullptr) {
            SDL_DestroyWindow(window);
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    SDL_Window* window = nullptr;
};

bool AllPixelsAre(Surface* surface, uint16_t value) {
    if (surface->Lock() != 0) {
        return false;
    }
    bool same = true;
    for (int32_t y = 0; y < surface->height && same; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(surface->pixels) +
                                                            y * surface->pitch);
        for (int32_t x = 0; x < surface->width && same; ++x) {
            same = row[x] == value;
        }
    }
    surface->Unlock();
    return same;
}

int restoreCalls = 0;

void CountRestore(Surface*, void*) {
    ++restoreCalls;
}

}  // namespace

TEST(ScreenHeadless, PresentBeforeAnyModeSetHasNoBackSurface) {
    Screen screen;
    EXPECT_EQ(screen.Present(0), ScreenNoBackSurface);
    EXPECT_EQ(screen.SetFullScreenMode(0, nullptr, 800, 600, 16), ScreenWindowRefused);
}

TEST(ScreenHeadless, MemoryModeGivesUnlockedWritableSurfaces) {
    Screen screen;
    ASSERT_EQ(screen.SetMemoryMode(800, 600), 0);
    ASSERT_NE(screen.backSurface, nullptr);
    EXPECT_EQ(screen.clip.right, 800);
    EXPECT_EQ(screen.clip.bottom, 600);
    EXPECT_EQ(screen.backSurface->pitch, 1600);
    ASSERT_NE(screen.backSurface->pixels, nullptr);
    EXPECT_EQ(screen.pixelFormat->bitsPerPixel, 16);
#if KIVORO_PIXEL_565
    EXPECT_EQ(screen.pixelFormat->layout, PixelLayout565);
#else
    EXPECT_EQ(screen.pixelFormat->layout, PixelLayout555);
#endif
    static_cast<uint16_t*>(screen.backSurface->pixels)[801] = 0x1F;
    EXPECT_EQ(screen.Present(0), 0);
    EXPECT_EQ(static_cast<uint16_t*>(screen.frontSurface->pixels)[801], 0x1F);
    EXPECT_EQ(screen.SetMemoryMode(0, 600), ScreenModeFailed);
}

TEST(ScreenHeadless, PresentRectsTakesRectanglesSpanningTheWholeIntRange) {
    Screen screen;
    ASSERT_EQ(screen.SetMemoryMode(16, 8), 0);
    screen.backSurface->Fill(0x1F);
    DirtyRectList list(1);  // empty bounds: the rectangle stays as given
    list.Add(Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    EXPECT_EQ(screen.PresentRects(0, &list), 0);
    const auto* front = static_cast<const uint16_t*>(screen.frontSurface->pixels);
    EXPECT_EQ(front[0], 0x1F);
    EXPECT_EQ(front[7 * screen.frontSurface->pitch / 2 + 15], 0x1F);
}

TEST_F(ScreenTest, GameModeIsABlackFlipChainClippedToTheMode) {
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);
    EXPECT_GE(screen.deviceCount, 1);
    ASSERT_EQ(screen.SetFullScreenMode(0, window, 800, 600, 16), 0);
    EXPECT_EQ(screen.clip.left, 0);
    EXPECT_EQ(screen.clip.top, 0);
    EXPECT_EQ(screen.clip.right, 800);
    EXPECT_EQ(screen.clip.bottom, 600);
    EXPECT_FALSE(screen.separateBack);
    for (Surface* surface : {screen.frontSurface, screen.backSurface}) {
        EXPECT_EQ(surface->width, 800);
        EXPECT_EQ(surface->height, 600);
        EXPECT_EQ(surface->clip, &screen.clip);
        EXPECT_EQ(surface->screen, &screen);
        EXPECT_TRUE(AllPixelsAre(surface, 0));
    }
    EXPECT_EQ(screen.pixelFormat->bitsPerPixel, 16);
    EXPECT_EQ(screen.Present(0), 0);

    // Writing the shared clip reclips every Surface at once.
    screen.clip.right = 398;
    EXPECT_EQ(screen.backSurface->clip->right, 398);
}

// The dummy driver's only renderer draws on the processor, so the picture is
// written into the window's own surface: letterboxed, scaled by nearest pixel,
// and with no vsync the limiter holds the pace from the first frame.
TEST_F(ScreenTest, PictureIsLetterboxedIntoTheWindowSurface) {
#if KIVORO_PIXEL_565
    constexpr uint16_t white = 0xFFFF;
#else
    constexpr uint16_t white = 0x7FFF;
#endif
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);
    // 1024 x 768 scaled from 512 x 384: exactly twice, pixel for pixel.
    ASSERT_EQ(screen.SetFullScreenMode(0, window, 512, 384, 16), 0);
    EXPECT_TRUE(screen.directDraw->framebuffer);
    EXPECT_TRUE(screen.frameLimiter->limiting);
    auto pixelAt = [](SDL_Surface* surface, int x, int y) {
        return static_cast<const uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x] &
               0xFFFFFFu;
    };
    SDL_Surface* shown = SDL_GetWindowSurface(window);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->w, 1024);
    ASSERT_EQ(shown->h, 768);
    screen.backSurface->Fill(0);
    screen.backSurface->FillRect(1, 1, 2, 2, white);
    ASSERT_EQ(screen.Present(0), 0);
    EXPECT_EQ(pixelAt(shown, 2, 2), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(shown, 3, 3), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(shown, 1, 1), 0u);
    EXPECT_EQ(pixelAt(shown, 4, 4), 0u);
    // A change after an unchanged frame still reaches the window.
    ASSERT_EQ(screen.Present(0), 0);
    screen.backSurface->FillRect(511, 383, 512, 384, white);
    ASSERT_EQ(screen.Present(0), 0);
    EXPECT_EQ(pixelAt(shown, 1023, 767), 0xFFFFFFu);

    // 1000 x 600 is wider than the window: black bars above and below.
    ASSERT_EQ(screen.SetFullScreenMode(0, window, 1000, 600, 16), 0);
    screen.backSurface->Fill(white);
    ASSERT_EQ(screen.Present(0), 0);
    EXPECT_EQ(pixelAt(shown, 500, 76), 0u);
    EXPECT_EQ(pixelAt(shown, 500, 77), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(shown, 500, 690), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(shown, 500, 691), 0u);
}

TEST_F(ScreenTest, AFullScreenModeShownInItsOwnWindowKeepsItsSurfacesAndFollowsItsSize) {
#if KIVORO_PIXEL_565
    constexpr uint16_t white = 0xFFFF;
#else
    constexpr uint16_t white = 0x7FFF;
#endif
    Screen screen;
    EXPECT_EQ(screen.ShowInOwnWindow(true), ScreenWindowRefused);  // no mode yet
    ASSERT_EQ(screen.Open(), 0);
    ASSERT_EQ(screen.SetFullScreenMode(0, window, 400, 300, 16), 0);
    Surface* back = screen.backSurface;
    back->Fill(0);
    back->FillRect(0, 0, 1, 1, white);
    ASSERT_EQ(screen.Present(0), 0);

    ASSERT_EQ(screen.ShowInOwnWindow(true), 0);
    EXPECT_TRUE(screen.inOwnWindow);
    EXPECT_EQ(back, screen.backSurface);
    // 2.5 times the picture, 1000 x 750 between bars 25 rows high.
    SDL_SetWindowSize(window, 1000, 800);
    ASSERT_EQ(screen.Present(0), 0);
    SDL_Surface* shown = SDL_GetWindowSurface(window);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->w, 1000);
    auto pixelAt = [&shown](int x, int y) {
        return static_cast<const uint32_t*>(shown->pixels)[y * shown->pitch / 4 + x] & 0xFFFFFFu;
    };
    // The white pixel covers 2.5 x 2.5 target pixels from (0, 25): two whole
    // ones each way, then half of one, a quarter at the corner.
    EXPECT_EQ(pixelAt(0, 25), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(1, 26), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(2, 26), 0x808080u);
    EXPECT_EQ(pixelAt(1, 27), 0x808080u);
    EXPECT_EQ(pixelAt(2, 27), 0x404040u);
    EXPECT_EQ(pixelAt(3, 26), 0u);
    EXPECT_EQ(pixelAt(0, 24), 0u);

    // Back over the whole display (the dummy display keeps the window's
    // size): the picture is still there.
    ASSERT_EQ(screen.ShowInOwnWindow(false), 0);
    EXPECT_FALSE(screen.inOwnWindow);
    EXPECT_EQ(back, screen.backSurface);
    ASSERT_EQ(screen.Present(0), 0);
    shown = SDL_GetWindowSurface(window);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(pixelAt(0, 25), 0xFFFFFFu);
}

TEST(DisplayDriverPlacement, AsLargeAsFitsCentred) {
    auto expect = [](const Placement& place, int32_t x, int32_t y, int32_t w, int32_t h) {
        EXPECT_EQ(place.x, x);
        EXPECT_EQ(place.y, y);
        EXPECT_EQ(place.width, w);
        EXPECT_EQ(place.height, h);
    };
    expect(DisplayDriver::Letterbox(800, 600, 1920, 1080), 240, 0, 1440, 1080);
    expect(DisplayDriver::Letterbox(800, 600, 1280, 1024), 0, 32, 1280, 960);
    expect(DisplayDriver::Letterbox(800, 600, 1200, 900), 0, 0, 1200, 900);
    expect(DisplayDriver::Letterbox(800, 600, 1700, 1300), 0, 12, 1700, 1275);
    // A window smaller than the picture: scaled down to fit all the same.
    expect(DisplayDriver::Letterbox(800, 600, 700, 600), 0, 37, 700, 525);
    expect(DisplayDriver::Letterbox(800, 600, 0, 0), 0, 0, 0, 0);
}

TEST(DisplayDriverChoice, RenderersOnTheProcessorAreRecognised) {
    EXPECT_TRUE(DisplayDriver::DrawsOnProcessor("software", nullptr));
    EXPECT_TRUE(DisplayDriver::DrawsOnProcessor("opengl", "llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(DisplayDriver::DrawsOnProcessor("opengles2", "softpipe"));
    EXPECT_FALSE(DisplayDriver::DrawsOnProcessor("opengl", "Mesa Intel(R) UHD Graphics 620"));
    EXPECT_FALSE(DisplayDriver::DrawsOnProcessor("opengl", ""));
    EXPECT_FALSE(DisplayDriver::DrawsOnProcessor("direct3d", "llvmpipe"));
    EXPECT_FALSE(DisplayDriver::DrawsOnProcessor(nullptr, nullptr));
}

TEST_F(ScreenTest, ModeFlagsChooseTheBackSurface) {
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);

    ASSERT_EQ(screen.SetFullScreenMode(ModeFrontOnly, window, 640, 480, 16), 0);
    EXPECT_EQ(screen.backSurface->platformSurface, nullptr);
    EXPECT_EQ(screen.Present(0), ScreenPresentFailed);

    ASSERT_EQ(screen.SetFullScreenMode(ModeSystemBack | Mode3D, window, 640, 480, 16), 0);
    EXPECT_TRUE(screen.separateBack);
    EXPECT_EQ(screen.backSurface->kind, SurfaceKindSystem | SurfaceKind3D);
    screen.backSurface->Fill(0x2A);
    EXPECT_EQ(screen.Present(0), 0);
    EXPECT_TRUE(AllPixelsAre(screen.frontSurface, 0x2A));

    ASSERT_EQ(screen.SetFullScreenMode(ModeClientBack, window, 640, 480, 16), 0);
    EXPECT_EQ(screen.backSurface->kind, SurfaceKindClientMemory);
    EXPECT_EQ(screen.Present(0), 0);

    // ChangeResolution keeps the depth; with ModeClientBack it builds a flip chain.
    ASSERT_EQ(screen.ChangeResolution(320, 200), 0);
    EXPECT_FALSE(screen.separateBack);
    EXPECT_EQ(screen.backSurface->width, 320);
    EXPECT_EQ(screen.clip.bottom, 200);
    EXPECT_EQ(screen.Present(0), 0);

    EXPECT_EQ(screen.SetFullScreenMode(0, window, 800, 600, 12), ScreenModeFailed);
    EXPECT_EQ(screen.Present(0), ScreenPresentFailed);
}

TEST_F(ScreenTest, PalettisedModeShowsThroughTheAttachedPalette) {
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);
    ASSERT_EQ(screen.SetFullScreenMode(ModeSystemBack, window, 64, 48, 8), 0);
    EXPECT_EQ(screen.pixelFormat->bitsPerPixel, 8);
    ASSERT_EQ(screen.palette->CreateForScreen(&screen, true), 0);
    ASSERT_EQ(screen.palette->AttachToScreen(), 0);
    EXPECT_EQ(screen.backSurface->platformSurface->format->palette,
              screen.palette->platformPalette);
    screen.palette->SetEntry(3, 255, 0, 0);
    EXPECT_EQ(screen.palette->Apply(), 0);
    screen.backSurface->Fill(3);
    EXPECT_EQ(screen.Present(0), 0);
    ASSERT_EQ(screen.ChangeResolution(32, 24), 0);
    EXPECT_EQ(screen.frontSurface->platformSurface->format->palette,
              screen.palette->platformPalette);
    EXPECT_EQ(screen.Present(0), 0);
}

TEST_F(ScreenTest, PresentRectsCopiesOnlyTheListedRectangles) {
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);
    ASSERT_EQ(screen.SetFullScreenMode(ModeSystemBack, window, 64, 48, 16), 0);
    screen.backSurface->Fill(0x55);
    DirtyRectList list(2);
    list.bounds = Rect{0, 0, 64, 48};
    list.Add(Rect{60, 40, 100, 100});  // cut to the bounds
    EXPECT_EQ(screen.PresentRects(0, &list), 0);
    ASSERT_EQ(screen.frontSurface->Lock(), 0);
    const auto at = [&](int32_t x, int32_t y) {
        return reinterpret_cast<const uint16_t*>(
            static_cast<uint8_t*>(screen.frontSurface->pixels) + y * screen.frontSurface->pitch)[x];
    };
    EXPECT_EQ(at(60, 40), 0x55);
    EXPECT_EQ(at(63, 47), 0x55);
    EXPECT_EQ(at(59, 47), 0);
    EXPECT_EQ(at(63, 39), 0);
    screen.frontSurface->Unlock();
    // A full list keeps growing its last rectangle instead of dropping any.
    list.Add(Rect{0, 0, 1, 1});
    list.Add(Rect{10, 10, 12, 12});
    ASSERT_EQ(list.Count(), 2);
    ASSERT_TRUE(list.Select(1));
    EXPECT_EQ(list.current.right, 12);
    EXPECT_EQ(list.current.left, 0);
    EXPECT_FALSE(list.Select(2));
}

TEST_F(ScreenTest, ModeSetsReplaceTheirSurfacesWithoutLeavingThemRegistered) {
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);
    ASSERT_EQ(screen.SetFullScreenMode(0, window, 800, 600, 16), 0);
    const int32_t registered = RegisteredSurfaceCount();
    ASSERT_EQ(screen.SetFullScreenMode(ModeSystemBack, window, 800, 600, 16), 0);
    ASSERT_EQ(screen.SetWindowedMode(0, window, 320, 240), 0);
    EXPECT_EQ(RegisteredSurfaceCount(), registered);
}

TEST_F(ScreenTest, WindowedModeDrawsTheBackSurfaceIntoTheWindow) {
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);
    ASSERT_EQ(screen.SetWindowedMode(0, window, 320, 240), 0);
    EXPECT_TRUE(screen.windowed);
    EXPECT_EQ(screen.clipper, window);
    // "Video memory when possible" ends in system memory on SDL.
    EXPECT_EQ(screen.backSurface->kind, SurfaceKindSystem);
    EXPECT_EQ(screen.clip.right, 320);
    EXPECT_GT(screen.frontSurface->width, 0);
    EXPECT_EQ(screen.Present(0), 0);
    EXPECT_EQ(screen.Present(PresentClientRect), 0);

    DirtyRectList list;
    list.bounds = Rect{0, 0, 320, 240};
    list.Add(Rect{-10, -10, 20, 20});
    list.Add(Rect{100, 100, 100, 150});  // empty: dropped
    ASSERT_EQ(list.Count(), 1);
    ASSERT_TRUE(list.Select(0));
    EXPECT_EQ(list.current.left, 0);
    EXPECT_EQ(screen.PresentRects(0, &list), 0);
    EXPECT_EQ(screen.PresentRects(0, nullptr), 0);
}

TEST_F(ScreenTest, RendererResetRestoresSurfacesAtTheNextPresent) {
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);
    ASSERT_EQ(screen.SetFullScreenMode(0, window, 800, 600, 16), 0);
    restoreCalls = 0;
    screen.backSurface->SetRestoreCallback(CountRestore, nullptr, false);

    SDL_Event reset{};
    reset.type = SDL_RENDER_TARGETS_RESET;
    SDL_PushEvent(&reset);
    // The present that meets the loss restores the display and repeats.
    EXPECT_EQ(screen.Present(0), 0);
    EXPECT_TRUE(screen.surfacesLost);
    EXPECT_EQ(restoreCalls, 0);
    // The next one tells the Screen's surfaces.
    EXPECT_EQ(screen.Present(0), 0);
    EXPECT_FALSE(screen.surfacesLost);
    EXPECT_EQ(restoreCalls, 1);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST_F(ScreenTest, ModeListMatchesSizeAndDepth) {
    Screen screen;
    EXPECT_FALSE(screen.HasMode(800, 600, 16));  // no display open
    ASSERT_EQ(screen.Open(), 0);
    screen.EnumerateModes();
    ASSERT_GE(screen.modeCount, 1);
    const DisplayMode& first = screen.modes[0];
    EXPECT_TRUE(screen.HasMode(first.width, first.height, first.bitsPerPixel));
    EXPECT_FALSE(screen.HasMode(first.width, first.height, first.bitsPerPixel + 1));
    char label[20];
    std::snprintf(label, sizeof label, "%i x %i x %i", first.width, first.height,
                  first.bitsPerPixel);
    EXPECT_STREQ(first.label, label);
    EXPECT_EQ(screen.OpenDevice(screen.deviceCount), ScreenOpenFailed);
}

TEST_F(ScreenTest, WindowDestroyedBeforeTheScreenIsHarmless) {
    auto* screen = new Screen();
    ASSERT_EQ(screen->Open(), 0);
    ASSERT_EQ(screen->SetFullScreenMode(0, window, 800, 600, 16), 0);
    // SDL 2 does not free a window's renderer with the window: the window's
    // owner gives it back first, and the Screen then leaves it alone.
    SDL_DestroyRenderer(SDL_GetRenderer(window));
    SDL_DestroyWindow(window);
    window = nullptr;
    EXPECT_EQ(screen->Present(0), ScreenPresentFailed);
    screen->RestoreDesktopMode();
    delete screen;
}

// On the dummy driver presents return at once, as where vsync is ignored:
// after measuring that, Present holds the game to about 60 frames a second.
TEST_F(ScreenTest, PresentHoldsSixtyFramesPerSecondWhenTheDisplayDoesNotWait) {
    // A small picture, so that the software renderer's present is quick.
    SDL_SetWindowSize(window, 320, 240);
    Screen screen;
    ASSERT_EQ(screen.Open(), 0);
    ASSERT_EQ(screen.SetFullScreenMode(0, window, 160, 120, 16), 0);
    for (int i = 0; i < FrameLimiter::warmUpFrames + FrameLimiter::measureFrames + 2; ++i) {
        screen.Present(0);
    }
    EXPECT_TRUE(screen.frameLimiter->limiting);
    const uint64_t frequency = SDL_GetPerformanceFrequency();
    const uint64_t start = SDL_GetPerformanceCounter();
    int frames = 0;
    while (SDL_GetPerformanceCounter() - start < frequency) {
        screen.Present(0);
        ++frames;
    }
    EXPECT_GE(frames, 45);
    EXPECT_LE(frames, 70);
}
