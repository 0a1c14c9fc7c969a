// Screen presentation: Present and PresentRects through the display driver,
// recovery after renderer resets, frame pacing, the frame-rate counter and
// text, the vertical-blank wait and the return to the desktop mode.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "engine/display/cpu_features.h"
#include "engine/display/dirty_rect_list.h"
#include "engine/display/display_driver.h"
#include "engine/display/frame_limiter.h"
#include "engine/display/frame_rate_text.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"

namespace {

// PresentRects hands at most this many rectangles at once; a longer list
// presents the whole frame instead.
constexpr int32_t maxPresentRects = 256;

// The part of r (right and bottom exclusive) inside (0, 0, width, height),
// worked out in 64 bits so that no edge or span can overflow; false when
// nothing is left.
bool ClipToSize(const Rect& r, int32_t width, int32_t height, SDL_Rect* out) {
    const int64_t left = std::max<int64_t>(r.left, 0);
    const int64_t top = std::max<int64_t>(r.top, 0);
    const int64_t right = std::min<int64_t>(r.right, width);
    const int64_t bottom = std::min<int64_t>(r.bottom, height);
    if (right <= left || bottom <= top) {
        return false;
    }
    *out = SDL_Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                    static_cast<int>(bottom - top)};
    return true;
}

// Copies one rectangle between two SDL surfaces of one format, cut to both.
void CopyArea(SDL_Surface* from, SDL_Surface* to, SDL_Rect area) {
    if (from == nullptr || to == nullptr || from == to ||
        from->format->format != to->format->format) {
        return;
    }
    SDL_Rect bounds{0, 0, std::min(from->w, to->w), std::min(from->h, to->h)};
    if (!SDL_IntersectRect(&area, &bounds, &area)) {
        return;
    }
    const int bytesPerPixel = from->format->BytesPerPixel;
    for (int row = area.y; row < area.y + area.h; ++row) {
        std::memcpy(
            static_cast<uint8_t*>(to->pixels) + row * to->pitch + area.x * bytesPerPixel,
            static_cast<const uint8_t*>(from->pixels) + row * from->pitch + area.x * bytesPerPixel,
            static_cast<size_t>(area.w) * bytesPerPixel);
    }
}

}  // namespace

// Hands a surface (or some of its rectangles) to the display; when the
// display was reset the shown surfaces are restored and it is tried once more.
int Screen::ShowWithRetry(Surface* source, bool restoreBack, const Rect* rects, int32_t rectCount,
                          bool clientRect) {
    if (directDraw == nullptr || source == nullptr || source->platformSurface == nullptr) {
        return ScreenPresentFailed;
    }
    SDL_Rect list[maxPresentRects];
    int32_t count = 0;
    for (int32_t i = 0; i < rectCount && count < maxPresentRects; ++i) {
        if (ClipToSize(rects[i], source->platformSurface->w, source->platformSurface->h,
                       &list[count])) {
            ++count;
        }
    }
    if (rectCount > 0 && count == 0) {
        return 0;
    }
    // Windowed, the picture goes to the window's top-left corner at its own
    // size, or is scaled to the whole client area.
    SDL_Rect destination{0, 0, backSurface != nullptr ? backSurface->width : source->width,
                         backSurface != nullptr ? backSurface->height : source->height};
    SDL_Window* live = directDraw->LiveWindow();
    if (windowed && clientRect && live != nullptr) {
        SDL_GetWindowSize(live, &destination.w, &destination.h);
    }
    DisplayDriver::ShowResult result =
        directDraw->Show(source->platformSurface, list, count, &destination);
    if (result == DisplayDriver::ShowLost) {
        bool restored = true;
        if (restoreBack && backSurface != nullptr) {
            restored = backSurface->TryRestore();
        }
        restored = frontSurface != nullptr && frontSurface->TryRestore() && restored;
        if (restored) {
            result = directDraw->Show(source->platformSurface, list, count, &destination);
        }
    }
    return result == DisplayDriver::ShowDone ? 0 : ScreenPresentFailed;
}

int Screen::Present(int32_t flags) {
    RestoreIfLost();
    if (backSurface == nullptr) {
        return ScreenNoBackSurface;
    }
    int result = ScreenPresentFailed;
    if (windowed) {
        result = ShowWithRetry(backSurface, true, nullptr, 0, (flags & PresentClientRect) != 0);
    } else if (!separateBack) {
        // The flip: the back buffer becomes what the display shows. Without an
        // attached back buffer (ModeFrontOnly) there is nothing to flip.
        if (backSurface->platformSurface != nullptr && frontSurface != nullptr &&
            backSurface->platformSurface == frontSurface->platformSurface) {
            result = ShowWithRetry(backSurface, false, nullptr, 0, false);
        }
    } else if (frontSurface != nullptr) {
        if (mmxAvailable) {
            backSurface->Lock();
            frontSurface->Lock();
            backSurface->CopyBlocksTo(frontSurface, 0, 0,
                                      Rect{0, 0, frontSurface->width, frontSurface->height});
            frontSurface->Unlock();
            backSurface->Unlock();
        } else if (backSurface->platformSurface != nullptr) {
            CopyArea(backSurface->platformSurface, frontSurface->platformSurface,
                     SDL_Rect{0, 0, backSurface->width, backSurface->height});
        }
        // A Screen without a window (SetMemoryMode) has nothing more to show.
        result = window == nullptr ? 0 : ShowWithRetry(frontSurface, true, nullptr, 0, false);
    }
    if (window != nullptr && frameLimiter != nullptr) {
        frameLimiter->FramePresented();
    }
    return result;
}

int Screen::PresentRects(int32_t flags, DirtyRectList* list) {
    RestoreIfLost();
    if (list == nullptr || backSurface == nullptr) {
        return 0;
    }
    if (windowed && (flags & PresentClientRect) != 0) {
        Present(flags);
        return 0;
    }
    Rect rects[maxPresentRects];
    const int32_t count = list->Count();
    const bool whole = count > maxPresentRects;
    for (int32_t i = 0; i < count && !whole; ++i) {
        list->Select(i);
        rects[i] = list->current;
    }
    const int32_t used = whole ? 0 : count;
    if (count == 0) {
        return 0;
    }
    Surface* shown = backSurface;
    if (!windowed && separateBack && frontSurface != nullptr) {
        for (int32_t i = 0; i < used; ++i) {
            SDL_Rect area;
            if (ClipToSize(rects[i], backSurface->width, backSurface->height, &area)) {
                CopyArea(backSurface->platformSurface, frontSurface->platformSurface, area);
            }
        }
        if (whole) {
            CopyArea(backSurface->platformSurface, frontSurface->platformSurface,
                     SDL_Rect{0, 0, backSurface->width, backSurface->height});
        }
        shown = frontSurface;
    }
    if (window != nullptr) {
        ShowWithRetry(shown, true, rects, used, false);
        if (frameLimiter != nullptr) {
            frameLimiter->FramePresented();
        }
    }
    return 0;
}

void Screen::RestoreIfLost() {
    if (!surfacesLost) {
        return;
    }
    if (directDraw != nullptr) {
        directDraw->Restore();
    }
    // A restore callback may create or destroy Surfaces, so the count is read anew.
    for (int32_t i = 0; i < RegisteredSurfaceCount(); ++i) {
        Surface* surface = RegisteredSurface(i);
        if (surface != nullptr && surface->screen == this) {
            surface->NotifyRestored();
        }
    }
    surfacesLost = false;
}

// Samples the rate once more than a second has passed since the last sample;
// the difference is taken unsigned, so a clock that wraps still measures.
bool Screen::SampleFrameRate() {
    const uint32_t now = clock != nullptr ? clock() : 0;
    const uint32_t elapsed = now - lastSampleTime;
    if (elapsed <= 1000) {
        return false;
    }
    framesPerSecond = frameCount * 1000.0 / elapsed;
    lastSampleTime = now;
    frameCount = 0;
    return true;
}

uint32_t Screen::CountFrame() {
    SampleFrameRate();
    return ++frameCount;
}

void Screen::RestartFrameRate() {
    lastSampleTime = clock != nullptr ? clock() : 0;
    frameCount = 0;
}

void Screen::DrawFrameRate(Surface* surface, int32_t x, int32_t y) {
    char text[32] = "FPS=";
    SampleFrameRate();
    FormatFrameRate(framesPerSecond, text + 4, sizeof text - 4);
    if (surface != nullptr) {
        surface->DrawTextOpaque(text, x, y, 0xFFFFFF, 0, nullptr);
    }
    ++frameCount;
}

// SDL reports no vertical blank; the wait ends at the next boundary of the
// display's refresh period on the monotonic clock, which is where a blank
// would begin for a display running from the clock's zero. The thread sleeps
// until then rather than polling.
void Screen::WaitVerticalBlank() {
    if (directDraw == nullptr) {
        return;
    }
    SDL_DisplayMode mode{};
    int refresh = 60;
    if (SDL_GetCurrentDisplayMode(directDraw->displayIndex, &mode) == 0 && mode.refresh_rate > 0) {
        refresh = mode.refresh_rate;
    }
    const uint64_t period = std::max<uint64_t>(1000000000u / refresh, 1);
    const uint64_t target = (FrameLimiter::MonotonicNanoseconds() / period + 1) * period;
    FrameLimiter::SleepUntilNanoseconds(target);
}

// The display's resolution is never changed (full screen covers the desktop
// at its own mode); a window that SDL put into a mode-changing full screen
// is moved back to the desktop's mode.
void Screen::RestoreDesktopMode() {
    if (directDraw == nullptr) {
        return;
    }
    SDL_Window* live = directDraw->LiveWindow();
    if (live != nullptr &&
        (SDL_GetWindowFlags(live) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowFullscreen(live, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
}
