// Screen: construction and teardown, the display list, opening a display,
// the display-mode list and the mode sets (full screen, windowed, memory).
#include "engine/display/screen.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "engine/display/device_context.h"
#include "engine/display/display_driver.h"
#include "engine/display/frame_limiter.h"
#include "engine/display/palette.h"
#include "engine/display/pixel_format.h"
#include "engine/display/surface.h"

namespace {

constexpr int32_t maxModeSide = 16384;

// Milliseconds since the machine started, as the platform's multimedia timer
// counts them. A large value from the first frame on matters: lastSampleTime
// starts at 0, so the first frame-rate call samples at once and the first
// second reads 0. SDL_GetTicks starts near 0 with SDL, which made the first
// reading come early and too low.
uint32_t UptimeMilliseconds() {
    return static_cast<uint32_t>(FrameLimiter::MonotonicNanoseconds() / 1000000u);
}

char* CopyText(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    const size_t length = std::strlen(text);
    auto* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

// The SDL format of a display depth: 16 bits is the build's layout, so the
// pictures the bitmap loader delivers reach the screen unchanged.
uint32_t FormatForDepth(int32_t bitsPerPixel) {
    if (bitsPerPixel == 16) {
#if KIVORO_PIXEL_565
        return SDL_PIXELFORMAT_RGB565;
#else
        return SDL_PIXELFORMAT_RGB555;
#endif
    }
    if (bitsPerPixel == 32) {
        return SDL_PIXELFORMAT_RGB888;
    }
    if (bitsPerPixel == 8) {
        return SDL_PIXELFORMAT_INDEX8;
    }
    return SDL_PIXELFORMAT_UNKNOWN;
}

// Everything text drawing needs later is made now, so that the frames
// themselves allocate nothing: the default font with its glyphs and each
// surface's device context.
void PrepareText(Surface* front, Surface* back) {
    DefaultTextFont();
    for (Surface* surface : {front, back}) {
        if (surface != nullptr && surface->platformSurface != nullptr && surface->dc == nullptr) {
            surface->dc = new DeviceContext(surface->platformSurface);
        }
    }
}

bool ValidSize(int32_t width, int32_t height) {
    return width > 0 && height > 0 && width <= maxModeSide && height <= maxModeSide;
}

}  // namespace

Screen::Screen() : clock(UptimeMilliseconds), frameLimiter(new FrameLimiter()) {}

Screen::~Screen() {
    TakeDown();
    delete[] modes;
    modes = nullptr;
    modeCount = 0;
    clipper = nullptr;
    delete directDraw;
    directDraw = nullptr;
    FreeDevices();
    delete frameLimiter;
    frameLimiter = nullptr;
}

// In a flip chain the back buffer belongs to the front surface: the back
// Surface lets go of it before either is destroyed.
void Screen::FreeSurfaces() {
    if (!separateBack && backSurface != nullptr) {
        backSurface->platformSurface = nullptr;
        backSurface->pixels = nullptr;
    }
    delete frontSurface;
    frontSurface = nullptr;
    delete backSurface;
    backSurface = nullptr;
}

void Screen::TakeDown() {
    FreeSurfaces();
    delete palette;
    palette = nullptr;
    delete pixelFormat;
    pixelFormat = nullptr;
    clipper = nullptr;
}

void Screen::FreeDevices() {
    for (int32_t i = 0; i < deviceCount; ++i) {
        delete[] devices[i].description;
        delete[] devices[i].name;
    }
    delete[] devices;
    devices = nullptr;
    deviceCount = 0;
}

void Screen::EnumerateDevices() {
    FreeDevices();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return;
    }
    const int count = SDL_GetNumVideoDisplays();
    if (count > 0) {
        devices = new DisplayDevice[count];
        for (int i = 0; i < count; ++i) {
            devices[i].displayIndex = i;
            devices[i].description = CopyText(SDL_GetDisplayName(i));
            devices[i].name = CopyText(SDL_GetCurrentVideoDriver());
        }
        deviceCount = count;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

int Screen::Open() {
    if (deviceCount < 1) {
        EnumerateDevices();
    }
    if (deviceCount < 1) {
        return ScreenOpenFailed;
    }
    return OpenDevice(devices[0].displayIndex);
}

int Screen::OpenDevice(int32_t displayIndex) {
    auto* driver = new DisplayDriver(displayIndex);
    if (!driver->Start()) {
        delete driver;
        return ScreenOpenFailed;
    }
    delete directDraw;
    directDraw = driver;
    return 0;
}

int Screen::SetFullScreenMode(int32_t flags, WindowHandle newWindow, int32_t width, int32_t height,
                              int32_t bitsPerPixel) {
    modeFlags = flags;
    TakeDown();
    window = newWindow;
    windowed = false;
    inOwnWindow = false;
    frontSurface = new Surface();
    backSurface = new Surface();
    palette = new Palette();
    pixelFormat = new PixelFormat();
    // The exclusive full screen of today's desktops: the window covers its
    // display at the display's own resolution.
    if (directDraw == nullptr || window == nullptr || SDL_GetWindowID(window) == 0 ||
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        return ScreenWindowRefused;
    }
    // The "display mode" is the picture's size and depth, letterboxed into the window.
    const uint32_t format = FormatForDepth(bitsPerPixel);
    if (format == SDL_PIXELFORMAT_UNKNOWN || !ValidSize(width, height) ||
        !directDraw->AttachWindow(window, true)) {
        return ScreenModeFailed;
    }
    frameLimiter->Reset(!directDraw->framebuffer);
    return BuildFullScreenSurfaces(width, height, format, true);
}

// The surfaces of a full-screen mode. A mode set reads the pixel format from
// the new front surface; ChangeResolution keeps the one it has, makes a
// separate back surface of kind 6 for ModeSystemBack and knows no
// ModeClientBack (it gets a flip chain).
int Screen::BuildFullScreenSurfaces(int32_t width, int32_t height, uint32_t format, bool firstSet) {
    separateBack = false;
    const uint16_t extra = (modeFlags & Mode3D) != 0 ? SurfaceKind3D : 0;
    const int bits = SDL_BITSPERPIXEL(format) == 15 ? 16 : SDL_BYTESPERPIXEL(format) * 8;
    SDL_Surface* front = SDL_CreateRGBSurfaceWithFormat(0, width, height, bits, format);
    if (front == nullptr) {
        return ScreenFrontFailed;
    }
    frontSurface->platformSurface = front;
    if (firstSet) {
        pixelFormat->ReadFrom(frontSurface);
    }
    if ((modeFlags & ModeFrontOnly) != 0) {
        // No back buffer: the back Surface object exists without an SDL surface.
    } else if ((modeFlags & ModeSystemBack) != 0 ||
               (firstSet && (modeFlags & ModeClientBack) != 0)) {
        const uint16_t kind = (modeFlags & ModeSystemBack) != 0 && firstSet
                                  ? SurfaceKindSystem
                                  : SurfaceKindClientMemory;
        backSurface->Create(this, static_cast<uint16_t>(kind | extra), width, height);
        backSurface->Fill(0);
        separateBack = true;
    } else {
        // The flip chain's back buffer is the front's attached buffer: one SDL
        // surface that Present hands to the display.
        backSurface->platformSurface = front;
        backSurface->screen = this;
        backSurface->width = width;
        backSurface->height = height;
        backSurface->SetClip(&clip);
        backSurface->Fill(0);
    }
    backSurface->screen = this;
    frontSurface->screen = this;
    frontSurface->width = width;
    frontSurface->height = height;
    frontSurface->SetClip(&clip);
    frontSurface->Fill(0);
    if (firstSet) {
        backSurface->SetPalette(palette);
        frontSurface->SetPalette(palette);
    } else if (palette != nullptr && palette->platformPalette != nullptr) {
        palette->Apply();
        palette->AttachToScreen();
    }
    clip = Rect{0, 0, width, height};
    PrepareText(frontSurface, backSurface);
    return 0;
}

int Screen::SetWindowedMode(int32_t flags, WindowHandle newWindow, int32_t width, int32_t height) {
    modeFlags = flags;
    TakeDown();
    window = newWindow;
    windowed = true;
    inOwnWindow = false;
    // Windowed, the back surface is always a surface of its own; marking it so
    // lets the teardown release it.
    separateBack = true;
    frontSurface = new Surface();
    backSurface = new Surface();
    pixelFormat = new PixelFormat();
    if (directDraw == nullptr || window == nullptr || SDL_GetWindowID(window) == 0 ||
        SDL_SetWindowFullscreen(window, 0) != 0) {
        return ScreenWindowRefused;
    }
    // The front surface stands for the whole display, as large as its current
    // mode, in the build's 16-bit layout whatever the desktop's depth.
    SDL_DisplayMode desktop{};
    const uint32_t format = FormatForDepth(16);
    SDL_Surface* front = nullptr;
    if (SDL_GetCurrentDisplayMode(directDraw->displayIndex, &desktop) == 0) {
        front =
            SDL_CreateRGBSurfaceWithFormat(0, desktop.w & 0xFFFF, desktop.h & 0xFFFF, 16, format);
    }
    if (front == nullptr) {
        return ScreenFrontFailed;
    }
    frontSurface->platformSurface = front;
    frontSurface->width = desktop.w & 0xFFFF;
    frontSurface->height = desktop.h & 0xFFFF;
    frontSurface->SetClip(&clip);
    frontSurface->screen = this;
    pixelFormat->ReadFrom(frontSurface);
    palette = new Palette();
    clip = Rect{0, 0, width, height};
    uint16_t kind = (modeFlags & ModeClientBack) != 0   ? SurfaceKindClientMemory
                    : (modeFlags & ModeSystemBack) != 0 ? SurfaceKindSystem
                                                        : SurfaceKindPreferVideo;
    if ((modeFlags & Mode3D) != 0) {
        kind |= SurfaceKind3D;
    }
    backSurface->Create(this, kind, width, height);
    // The clipper's role: binding what is shown to the window's client area.
    if (!directDraw->AttachWindow(window, false)) {
        return ScreenClipperFailed;
    }
    clipper = window;
    frameLimiter->Reset(!directDraw->framebuffer);
    PrepareText(frontSurface, backSurface);
    return 0;
}

int Screen::ChangeResolution(int32_t width, int32_t height) {
    if (directDraw == nullptr || pixelFormat == nullptr || window == nullptr) {
        return ScreenModeFailed;
    }
    FreeSurfaces();
    frontSurface = new Surface();
    backSurface = new Surface();
    separateBack = false;
    const uint32_t format = FormatForDepth(pixelFormat->bitsPerPixel);
    if (format == SDL_PIXELFORMAT_UNKNOWN || !ValidSize(width, height) ||
        !directDraw->AttachWindow(window, !windowed)) {
        return ScreenModeFailed;
    }
    frameLimiter->Reset(!directDraw->framebuffer);
    return BuildFullScreenSurfaces(width, height, format, false);
}

// SDL leaves a desktop full screen for the window's own size and place, or
// enters it, without touching the window's surfaces or renderer; the driver
// sees the new size through the window's events.
int Screen::ShowInOwnWindow(bool ownWindow) {
    if (directDraw == nullptr || window == nullptr || windowed || SDL_GetWindowID(window) == 0 ||
        backSurface == nullptr || directDraw->LiveWindow() != window) {
        return ScreenWindowRefused;
    }
    if (SDL_SetWindowFullscreen(window, ownWindow ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        return ScreenWindowRefused;
    }
    directDraw->redrawAll = true;
    inOwnWindow = ownWindow;
    frameLimiter->Reset(!directDraw->framebuffer);
    return 0;
}

int Screen::SetMemoryMode(int32_t width, int32_t height) {
    modeFlags = ModeClientBack;
    TakeDown();
    window = nullptr;
    windowed = false;
    inOwnWindow = false;
    frontSurface = new Surface();
    backSurface = new Surface();
    palette = new Palette();
    pixelFormat = new PixelFormat();
    if (!ValidSize(width, height)) {
        return ScreenModeFailed;
    }
    pixelFormat->SetFrom(MakePixelFormatRecord(FormatForDepth(16)));
    separateBack = true;
    clip = Rect{0, 0, width, height};
    if (frontSurface->Create(this, SurfaceKindClientMemory, width, height) != 0 ||
        backSurface->Create(this, SurfaceKindClientMemory, width, height) != 0) {
        return SurfaceCreateFailed;
    }
    PrepareText(frontSurface, backSurface);
    return 0;
}

void Screen::EnumerateModes() {
    modeCount = 0;
    if (directDraw == nullptr) {
        return;
    }
    const int counted = SDL_GetNumDisplayModes(directDraw->displayIndex);
    delete[] modes;
    modes = nullptr;
    if (counted <= 0) {
        return;
    }
    modes = new DisplayMode[counted];
    for (int i = 0; i < counted; ++i) {
        SDL_DisplayMode offered{};
        if (SDL_GetDisplayMode(directDraw->displayIndex, i, &offered) != 0) {
            continue;
        }
        DisplayMode& mode = modes[modeCount++];
        mode.width = offered.w;
        mode.height = offered.h;
        // Bits a pixel takes in memory: 5-5-5 is 16, padded 8-8-8 is 32.
        mode.bitsPerPixel = static_cast<int32_t>(SDL_ISPIXELFORMAT_INDEXED(offered.format)
                                                     ? SDL_BITSPERPIXEL(offered.format)
                                                     : SDL_BYTESPERPIXEL(offered.format) * 8);
        std::snprintf(mode.label, sizeof mode.label, "%i x %i x %i", mode.width, mode.height,
                      mode.bitsPerPixel);
    }
}

bool Screen::HasMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (modeCount == 0) {
        EnumerateModes();
    }
    for (int32_t i = 0; i < modeCount; ++i) {
        if (modes[i].width == width && modes[i].height == height &&
            modes[i].bitsPerPixel == bitsPerPixel) {
            return true;
        }
    }
    return false;
}
