// Screen: the display device. Opens an SDL video display, sets the game's mode
// on a window (or attaches to it windowed), owns the front and back Surfaces,
// presents the back surface (through DisplayDriver: into the window's pixels
// or a renderer's texture, only what changed), restores surfaces after a
// renderer reset, and measures and draws the frame rate.
//
// Headless use (tests, tools, the game harness): no display or window needed.
//     Screen screen;
//     screen.SetMemoryMode(800, 600);
// gives pixelFormat (the build's 16-bit layout), palette, clip = (0, 0, 800, 600)
// and a front and back Surface of kind 6 whose `pixels` and `pitch` are valid
// at once (Lock/Unlock do nothing). After that Surface::Create(&screen, 6, w, h)
// makes further memory surfaces. Present copies back to front and answers 0.
#pragma once

#include <cstdint>

#include "engine/display/display_mode.h"
#include "engine/display/rect.h"
#include "engine/display/window_handle.h"

class DirtyRectList;
class DisplayDriver;
class FrameLimiter;
class Palette;
class PixelFormat;
class Surface;

// Result codes of the engine's shared numbering.
constexpr int ScreenOpenFailed = 1;      // no display, or the video subsystem failed
constexpr int ScreenModeFailed = 2;      // the mode cannot be set (size or depth)
constexpr int ScreenWindowRefused = 3;   // no display open, or the window refused the mode
constexpr int ScreenFrontFailed = 4;     // the front surface (or renderer) cannot be made
constexpr int ScreenBackFailed = 5;      // the flip chain's back buffer cannot be had
constexpr int ScreenPresentFailed = 26;  // presenting failed, also after the repeat
constexpr int ScreenClipperFailed = 32;  // the windowed front cannot be bound to the window
constexpr int ScreenNoBackSurface = 50;

// Mode flags (the `flags` of the mode sets, kept in modeFlags). With none of
// 1, 2, 4 the mode is a flip chain: one front surface and its back buffer.
constexpr int32_t ModeFrontOnly = 1;
constexpr int32_t ModeSystemBack = 2;
constexpr int32_t ModeClientBack = 4;
constexpr int32_t Mode3D = 8;

// Present flag: windowed, scale the picture to the whole window.
constexpr int32_t PresentClientRect = 1;

class Screen {
public:
    // The millisecond clock the frame-rate sampling reads (time since the
    // machine started, by default); it may wrap, only differences are used.
    using MillisecondClock = uint32_t (*)();

    Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    virtual ~Screen();

    DisplayDevice* devices = nullptr;  // owned, found by EnumerateDevices
    int32_t deviceCount = 0;
    int32_t modeFlags = 0;
    bool separateBack = false;  // the back surface is presented by copying it to the front
    // A mode set writes (0, 0, width, height); anyone may overwrite it at any
    // time (the game's set-up and each of its views do) and the next clipped
    // drawing uses the new values. Every Surface of this Screen refers to it.
    // Engine copies take right/bottom as exclusive, the sprite draws as inclusive.
    Rect clip;
    bool windowed = false;
    // A full-screen mode shown in a window of its own (ShowInOwnWindow); a
    // mode set clears it.
    bool inOwnWindow = false;
    WindowHandle window = nullptr;
    // Windowed mode: the front surface's binding to the window; empty otherwise.
    WindowHandle clipper = nullptr;
    uint32_t frameCount = 0;
    uint32_t lastSampleTime = 0;  // milliseconds
    double framesPerSecond = 0.0;
    int32_t modeCount = 0;
    DisplayMode* modes = nullptr;  // owned, found by EnumerateModes
    PixelFormat* pixelFormat = nullptr;
    // A mode set destroys and re-creates both Surfaces: read these fields anew
    // after every mode set.
    Surface* backSurface = nullptr;
    Surface* frontSurface = nullptr;
    Palette* palette = nullptr;
    DisplayDriver* directDraw = nullptr;  // owned: the open display, its renderer and texture
    bool surfacesLost = false;

    MillisecondClock clock;
    FrameLimiter* frameLimiter = nullptr;  // owned: paces Present to 60 frames per second

    void EnumerateDevices();
    int Open();                            // the first display; 0 or 1
    int OpenDevice(int32_t displayIndex);  // 0 or 1

    // The game's call is (0, window, 800, 600, 16): the window covers its
    // display and the picture is scaled into it with its aspect kept. Depths 8
    // (palettised: the Palette's colours once it is created and attached), 16
    // (the build's layout) and 32. 0, 2, 3, 4 or 5.
    int SetFullScreenMode(int32_t flags, WindowHandle window, int32_t width, int32_t height,
                          int32_t bitsPerPixel);
    // The picture is drawn into the window at its own size. 0, 3, 4 or 32.
    int SetWindowedMode(int32_t flags, WindowHandle window, int32_t width, int32_t height);
    int ChangeResolution(int32_t width, int32_t height);  // 0, 2, 4 or 5
    // Shows a full-screen mode in a window of its own (true) or covering its
    // display again (false), keeping the mode, its surfaces and their
    // pictures. Either way the picture is shown as large as fits with its
    // aspect kept, in black bars, and follows the window's size as it
    // changes. Placing, sizing and framing the window is the window's
    // business. 0, or 3 without a full-screen mode on a live window.
    int ShowInOwnWindow(bool ownWindow);
    // A mode set without any display: kind-6 front and back surfaces in the
    // build's 16-bit layout (see the file comment). 0, 2 or 6.
    int SetMemoryMode(int32_t width, int32_t height);

    int Present(int32_t flags);                            // 0, 26 or 50
    int PresentRects(int32_t flags, DirtyRectList* list);  // always 0
    void RestoreIfLost();

    uint32_t CountFrame();
    // Counts a frame and draws "FPS=" and the last sampled rate, white on black.
    void DrawFrameRate(Surface* surface, int32_t x, int32_t y);
    // Starts the next sample from now, keeping the rate shown: frames not
    // drawn while the game stood still must not read as a slow second.
    void RestartFrameRate();

    void EnumerateModes();
    bool HasMode(int32_t width, int32_t height, int32_t bitsPerPixel);
    void WaitVerticalBlank();
    void RestoreDesktopMode();

private:
    void TakeDown();
    void FreeSurfaces();
    void FreeDevices();
    int BuildFullScreenSurfaces(int32_t width, int32_t height, uint32_t format, bool firstSet);
    bool SampleFrameRate();
    bool ShowSurface(Surface* surface, const Rect* rects, int32_t rectCount, bool clientRect);
    int ShowWithRetry(Surface* source, bool restoreBack, const Rect* rects, int32_t rectCount,
                      bool clientRect);
};
