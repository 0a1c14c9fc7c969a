// DisplayDriver: SDL video start-up, choosing between a renderer and the
// window's own surface, the renderer's streaming texture, letterboxed
// presentation on it and recovery from renderer resets.
#include "engine/display/display_driver.h"

#include <SDL.h>

#include <cstring>

#include "engine/display/frame_converter.h"

namespace {

// SDL calls event watchers as events are queued, whoever pumps them, so a
// reset or an exposed window is seen even when the window's pump drops the
// event.
int WatchDisplayEvents(void* userdata, SDL_Event* event) {
    auto* driver = static_cast<DisplayDriver*>(userdata);
    if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET) {
        driver->lost = true;
    } else if (event->type == SDL_WINDOWEVENT && event->window.windowID == driver->windowId) {
        // The window's pixels may be gone (uncovered, resized, mapped again):
        // the next show draws everything, not only what changed.
        switch (event->window.event) {
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                driver->redrawAll = true;
                break;
            default:
                break;
        }
    }
    return 0;
}

// GL_RENDERER of the current OpenGL context, through SDL's loader so that
// the engine does not link OpenGL itself; empty without a context.
const char* CurrentGlRenderer() {
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int glRendererName = 0x1F01;  // GL_RENDERER
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (getString == nullptr || SDL_GL_GetCurrentContext() == nullptr) {
        return "";
    }
    const unsigned char* name = getString(glRendererName);
    return name != nullptr ? reinterpret_cast<const char*>(name) : "";
}

}  // namespace

DisplayDriver::DisplayDriver(int32_t displayIndex)
    : displayIndex(displayIndex),
      frames(new FrameConverter()),
      shown(new SDL_Rect[maxShownRects]) {}

DisplayDriver::~DisplayDriver() {
    DropRenderer();
    SDL_FreeSurface(converted);
    if (videoStarted) {
        SDL_DelEventWatch(WatchDisplayEvents, this);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    delete frames;
    delete[] shown;
}

bool DisplayDriver::DrawsOnProcessor(const char* rendererName, const char* glRenderer) {
    if (rendererName == nullptr) {
        return false;
    }
    if (std::strcmp(rendererName, "software") == 0) {
        return true;
    }
    if (std::strncmp(rendererName, "opengl", 6) != 0 || glRenderer == nullptr) {
        return false;
    }
    // Mesa's rasterisers that run on the processor, by the names they report.
    for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast", "SWR"}) {
        if (std::strstr(glRenderer, software) != nullptr) {
            return true;
        }
    }
    return false;
}

bool DisplayDriver::Start() {
    if (!videoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            return false;
        }
        videoStarted = true;
        SDL_AddEventWatch(WatchDisplayEvents, this);
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
    scaledTexture = false;
    framebuffer = false;
    windowSurface = nullptr;
    windowId = 0;
    textureFormat = 0;
    textureWidth = 0;
    textureHeight = 0;
}

bool DisplayDriver::AttachWindow(SDL_Window* window, bool fullScreen) {
    const uint32_t id = window != nullptr ? SDL_GetWindowID(window) : 0;
    if (id == 0) {
        return false;
    }
    if (id != windowId || (!framebuffer && LiveRenderer() == nullptr)) {
        DropRenderer();
        windowId = id;
        renderer = SDL_GetRenderer(window);
        if (renderer == nullptr) {
            // Vsync is asked for; whether the display honours it is measured
            // by the Screen's frame limiter, not taken from the driver.
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
            ownsRenderer = renderer != nullptr;
            SDL_RendererInfo info{};
            if (renderer == nullptr || (SDL_GetRendererInfo(renderer, &info) == 0 &&
                                        DrawsOnProcessor(info.name, CurrentGlRenderer()))) {
                // A renderer on the processor converts, copies and scales
                // every frame two or three times over and cannot wait for
                // vsync either; writing the picture straight into the
                // window's pixels (on X11 a shared-memory image) does it once.
                // SDL would otherwise back the window's surface with a
                // renderer of its own, the same software one.
                if (renderer != nullptr) {
                    SDL_DestroyRenderer(renderer);
                    renderer = nullptr;
                    ownsRenderer = false;
                }
                SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
                // Drivers without window pixels of their own (Wayland, KMS)
                // then answer no surface: the renderer it is, after all.
                framebuffer = SDL_GetWindowSurface(window) != nullptr;
                if (!framebuffer) {
                    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
                    ownsRenderer = renderer != nullptr;
                }
            }
        }
    }
    letterbox = fullScreen;
    redrawAll = true;
    if (framebuffer) {
        windowSurface = nullptr;
        if (SDL_GetWindowSurface(window) == nullptr) {
            windowId = 0;
            framebuffer = false;
            return false;
        }
        return true;
    }
    if (renderer == nullptr) {
        windowId = 0;
        return false;
    }
    // The picture is placed by ShowOnRenderer in the output's own pixels, not
    // by SDL's logical size, which would scale it once more.
    if (SDL_RenderSetLogicalSize(renderer, 0, 0) != 0) {
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
    redrawAll = true;
    if (texture == nullptr) {
        textureFormat = 0;
        textureWidth = 0;
        textureHeight = 0;
        return false;
    }
    textureFormat = format;
    textureWidth = width;
    textureHeight = height;
    linearScaling = false;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    return true;
}

void DisplayDriver::SetLinearScaling(bool linear) {
    if (texture != nullptr && linear != linearScaling) {
        linearScaling = linear;
        SDL_SetTextureScaleMode(texture, linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
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
    return framebuffer ? ShowOnWindowSurface(source, rects, rectCount, destination)
                       : ShowOnRenderer(source, rects, rectCount, destination);
}

// A 16-bit picture goes through the table into a 32-bit texture of the
// renderer's own format, scaled to the texture's size, only the rows that
// changed (or the listed rectangles): SDL would convert the whole of it on
// every upload. Each area is written through a lock of just the texture
// pixels it reaches, so only those travel to the display.
bool DisplayDriver::UploadChangedRows(SDL_Surface* source, const SDL_Rect* rects,
                                      int32_t rectCount) {
    const Placement whole{0, 0, textureWidth, textureHeight, textureWidth, textureHeight};
    frames->SetPlacement(whole);
    if (redrawAll) {
        frames->Forget();
        redrawAll = false;
    }
    const auto* bytes = static_cast<const uint8_t*>(source->pixels);
    RowRun runs[maxShownRects];
    int32_t count = rectCount;
    if (rectCount <= 0) {
        count = frames->ChangedRows(bytes, source->pitch, runs, maxShownRects);
    }
    for (int32_t i = 0; i < count; ++i) {
        const SDL_Rect area =
            rectCount > 0 ? rects[i] : SDL_Rect{0, runs[i].first, source->w, runs[i].count};
        if (rectCount > 0) {
            frames->Remember(bytes, source->pitch, area.x, area.y, area.w, area.h);
        }
        frames->SetPlacement(whole);
        int32_t reach[4];
        frames->TargetArea(area.x, area.y, area.w, area.h, reach);
        const SDL_Rect locked{reach[0], reach[1], reach[2], reach[3]};
        if (locked.w <= 0 || locked.h <= 0) {
            continue;
        }
        void* pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(texture, &locked, &pixels, &pitch) != 0) {
            return false;
        }
        // The locked rectangle is the whole target: the picture lands at
        // minus its origin.
        frames->SetPlacement(
            Placement{-locked.x, -locked.y, textureWidth, textureHeight, locked.w, locked.h});
        int32_t written[4];
        frames->Draw(bytes, source->pitch, area.x, area.y, area.w, area.h,
                     static_cast<uint8_t*>(pixels), pitch, written);
        SDL_UnlockTexture(texture);
    }
    return true;
}

// Other depths (32 bits, or 8 bits already widened) go to a texture of the
// picture's size as they are.
bool DisplayDriver::UploadWhole(SDL_Surface* source, const SDL_Rect* rects, int32_t rectCount) {
    const auto* bytes = static_cast<const uint8_t*>(source->pixels);
    const int bytesPerPixel = source->format->BytesPerPixel;
    if (rectCount <= 0 && SDL_UpdateTexture(texture, nullptr, bytes, source->pitch) != 0) {
        return false;
    }
    for (int32_t i = 0; i < rectCount; ++i) {
        const SDL_Rect& r = rects[i];
        const uint8_t* start =
            bytes + static_cast<ptrdiff_t>(r.y) * source->pitch + r.x * bytesPerPixel;
        if (SDL_UpdateTexture(texture, &r, start, source->pitch) != 0) {
            return false;
        }
    }
    return true;
}

// The picture is placed on the output by Letterbox (or into the destination,
// windowed). At a whole factor the renderer scales a texture of the picture's
// size by nearest pixel, the cheapest way there is; at any other factor the
// texture is made at the placed size and filled by the FrameConverter, so the
// picture is as sharp and even as on the window-surface path (a renderer's
// linear filter would blur every edge over two pixels or more, its nearest
// filter would draw source pixels one or two pixels wide at random).
DisplayDriver::ShowResult DisplayDriver::ShowOnRenderer(SDL_Surface* source, const SDL_Rect* rects,
                                                        int32_t rectCount,
                                                        const SDL_Rect* destination) {
    SDL_Renderer* live = LiveRenderer();
    if (live == nullptr) {
        return ShowFailed;
    }
    int outputWidth = 0;
    int outputHeight = 0;
    if (SDL_GetRendererOutputSize(live, &outputWidth, &outputHeight) != 0) {
        return ShowFailed;
    }
    Placement place = Letterbox(source->w, source->h, outputWidth, outputHeight);
    if (!letterbox && destination != nullptr) {
        place = Placement{destination->x, destination->y, destination->w,
                          destination->h, outputWidth,    outputHeight};
    }
    if (place.width <= 0 || place.height <= 0) {
        return ShowFailed;
    }
    const bool wholeFactor = place.width % source->w == 0 && place.height % source->h == 0;
    SDL_RendererInfo info{};
    const uint32_t sourceFormat = source->format->format;
    const bool table = SDL_BITSPERPIXEL(sourceFormat) <= 16 &&
                       SDL_GetRendererInfo(live, &info) == 0 && info.num_texture_formats > 0 &&
                       frames->Prepare(sourceFormat, info.texture_formats[0], source->w, source->h);
    // A placed size the renderer cannot hold as a texture falls back to the
    // renderer's own scaling.
    bool scaled =
        table && !wholeFactor && PrepareTexture(info.texture_formats[0], place.width, place.height);
    if (!scaled &&
        !PrepareTexture(table ? info.texture_formats[0] : sourceFormat, source->w, source->h)) {
        return ShowFailed;
    }
    if (scaled != scaledTexture) {
        scaledTexture = scaled;
        redrawAll = true;
    }
    if (table ? !UploadChangedRows(source, rects, rectCount)
              : !UploadWhole(source, rects, rectCount)) {
        return ShowFailed;
    }
    SetLinearScaling(!scaled && !wholeFactor);
    const SDL_Rect placed{place.x, place.y, place.width, place.height};
    if (SDL_RenderClear(renderer) != 0 ||
        SDL_RenderCopy(renderer, texture, nullptr, &placed) != 0) {
        return ShowFailed;
    }
    SDL_RenderPresent(renderer);
    return lost ? ShowLost : ShowDone;
}

bool DisplayDriver::Restore() {
    lost = false;
    redrawAll = true;
    if (framebuffer) {
        return LiveWindow() != nullptr;
    }
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
