// DisplayDriver: SDL video start-up, the window's renderer and streaming
// texture, letterboxed presentation and recovery from renderer resets.
#include "engine/display/display_driver.h"

#include <SDL.h>

namespace {

// SDL calls event watchers as events are queued, whoever pumps them, so a
// reset is seen even when the window's pump drops the event.
int WatchResets(void* userdata, SDL_Event* event) {
    if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET) {
        static_cast<DisplayDriver*>(userdata)->lost = true;
    }
    return 0;
}

}  // namespace

DisplayDriver::DisplayDriver(int32_t displayIndex) : displayIndex(displayIndex) {}

DisplayDriver::~DisplayDriver() {
    DropRenderer();
    SDL_FreeSurface(converted);
    if (videoStarted) {
        SDL_DelEventWatch(WatchResets, this);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool DisplayDriver::Start() {
    if (!videoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            return false;
        }
        videoStarted = true;
        SDL_AddEventWatch(WatchResets, this);
    }
    return displayIndex >= 0 && displayIndex < SDL_GetNumVideoDisplays();
}

SDL_Window* DisplayDriver::LiveWindow() {
    return windowId != 0 ? SDL_GetWindowFromID(windowId) : nullptr;
}

SDL_Renderer* DisplayDriver::LiveRenderer() {
    return LiveWindow() != nullptr ? renderer : nullptr;
}

void DisplayDriver::DropRenderer() {
    // Without its window the renderer and texture are already gone.
    if (LiveWindow() != nullptr) {
        if (texture != nullptr) {
            SDL_DestroyTexture(texture);
        }
        if (ownsRenderer && renderer != nullptr) {
            SDL_DestroyRenderer(renderer);
        }
    }
    texture = nullptr;
    renderer = nullptr;
    ownsRenderer = false;
    windowId = 0;
    textureFormat = 0;
    textureWidth = 0;
    textureHeight = 0;
}

bool DisplayDriver::AttachWindow(SDL_Window* window, int32_t width, int32_t height,
                                 bool fullScreen) {
    const uint32_t id = window != nullptr ? SDL_GetWindowID(window) : 0;
    if (id == 0) {
        return false;
    }
    if (id != windowId || LiveRenderer() == nullptr) {
        DropRenderer();
        windowId = id;
        renderer = SDL_GetRenderer(window);
        if (renderer == nullptr) {
            // Vsync is asked for; whether the display honours it is measured
            // by the Screen's frame limiter, not taken from the driver.
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
            if (renderer == nullptr) {
                renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
            }
            ownsRenderer = renderer != nullptr;
        }
        if (renderer == nullptr) {
            windowId = 0;
            return false;
        }
    }
    letterbox = fullScreen;
    if (SDL_RenderSetLogicalSize(renderer, fullScreen ? width : 0, fullScreen ? height : 0) != 0) {
        return false;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    return true;
}

bool DisplayDriver::PrepareTexture(uint32_t format, int32_t width, int32_t height) {
    SDL_Renderer* live = LiveRenderer();
    if (live == nullptr) {
        return false;
    }
    if (texture != nullptr && format == textureFormat && width == textureWidth &&
        height == textureHeight) {
        return true;
    }
    if (texture != nullptr) {
        SDL_DestroyTexture(texture);
    }
    texture = SDL_CreateTexture(live, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture == nullptr) {
        textureFormat = 0;
        textureWidth = 0;
        textureHeight = 0;
        return false;
    }
    textureFormat = format;
    textureWidth = width;
    textureHeight = height;
    nearestScaling = true;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    return true;
}

// Crisp pixels where the picture is scaled by a whole factor, smooth
// filtering otherwise; the output size can change at any time (a window that
// becomes full screen late), so this is checked per present.
void DisplayDriver::ChooseScaling() {
    int outputWidth = 0;
    int outputHeight = 0;
    if (!letterbox || SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0) {
        return;
    }
    const int64_t widthLimited = static_cast<int64_t>(outputWidth) * textureHeight;
    const int64_t heightLimited = static_cast<int64_t>(outputHeight) * textureWidth;
    const bool whole = widthLimited <= heightLimited ? outputWidth % textureWidth == 0
                                                     : outputHeight % textureHeight == 0;
    if (whole != nearestScaling) {
        nearestScaling = whole;
        SDL_SetTextureScaleMode(texture, whole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    }
}

DisplayDriver::ShowResult DisplayDriver::Show(SDL_Surface* source, const SDL_Rect* rects,
                                              int32_t rectCount, const SDL_Rect* destination) {
    if (lost) {
        return ShowLost;
    }
    if (source == nullptr || source->pixels == nullptr) {
        return ShowFailed;
    }
    if (SDL_ISPIXELFORMAT_INDEXED(source->format->format)) {
        if (converted == nullptr || converted->w != source->w || converted->h != source->h) {
            SDL_FreeSurface(converted);
            converted =
                SDL_CreateRGBSurfaceWithFormat(0, source->w, source->h, 32, SDL_PIXELFORMAT_RGB888);
        }
        if (converted == nullptr || SDL_BlitSurface(source, nullptr, converted, nullptr) != 0) {
            return ShowFailed;
        }
        source = converted;
    }
    if (!PrepareTexture(source->format->format, source->w, source->h)) {
        return ShowFailed;
    }
    const auto* bytes = static_cast<const uint8_t*>(source->pixels);
    const int bytesPerPixel = source->format->BytesPerPixel;
    if (rectCount <= 0) {
        if (SDL_UpdateTexture(texture, nullptr, bytes, source->pitch) != 0) {
            return ShowFailed;
        }
    }
    for (int32_t i = 0; i < rectCount; ++i) {
        const SDL_Rect& r = rects[i];
        const uint8_t* start =
            bytes + static_cast<ptrdiff_t>(r.y) * source->pitch + r.x * bytesPerPixel;
        if (SDL_UpdateTexture(texture, &r, start, source->pitch) != 0) {
            return ShowFailed;
        }
    }
    ChooseScaling();
    if (SDL_RenderClear(renderer) != 0 ||
        SDL_RenderCopy(renderer, texture, nullptr, letterbox ? nullptr : destination) != 0) {
        return ShowFailed;
    }
    SDL_RenderPresent(renderer);
    return lost ? ShowLost : ShowDone;
}

bool DisplayDriver::Restore() {
    lost = false;
    if (LiveRenderer() == nullptr) {
        return false;
    }
    const uint32_t format = textureFormat;
    const int32_t width = textureWidth;
    const int32_t height = textureHeight;
    if (texture != nullptr) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    textureFormat = 0;
    return format == 0 || PrepareTexture(format, width, height);
}
