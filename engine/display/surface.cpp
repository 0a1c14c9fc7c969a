// Surface: creation on SDL surfaces, release, locking, the device context,
// fills, palette and colour keys, loss handling, the opacity mask operations
// and the registry of live Surfaces.
#include "engine/display/surface.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "engine/display/device_context.h"
#include "engine/display/display_driver.h"
#include "engine/display/engine_support.h"
#include "engine/display/opacity_mask.h"
#include "engine/display/palette.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"

namespace {

// Never destroyed, so Surfaces that outlive static destruction can still leave it.
std::vector<Surface*>& Registry() {
    static auto* registry = new std::vector<Surface*>();
    return *registry;
}

// The SDL pixel format that matches a PixelFormat: the enum it was read from,
// else the one its bit count and masks describe.
uint32_t SdlFormatOf(const PixelFormat& format) {
    if (format.format.sdlFormat != SDL_PIXELFORMAT_UNKNOWN) {
        return format.format.sdlFormat;
    }
    return SDL_MasksToPixelFormatEnum(format.bitsPerPixel, format.redMask, format.greenMask,
                                      format.blueMask, format.format.alphaMask);
}

}  // namespace

Surface::Surface() {
    RegisterSurface(this);
}

Surface::~Surface() {
    Release();
    UnregisterSurface(this);
}

int Surface::Create(Screen* newScreen, uint16_t newKind, int32_t newWidth, int32_t newHeight) {
    Release();
    screen = newScreen;
    width = newWidth;
    height = newHeight;
    kind = newKind;
    platformSurface = nullptr;
    if (screen == nullptr || screen->pixelFormat == nullptr) {
        return SurfaceCreateFailed;
    }
    const int32_t bits = screen->pixelFormat->bitsPerPixel;
    const uint32_t format = SdlFormatOf(*screen->pixelFormat);
    if (format == SDL_PIXELFORMAT_UNKNOWN || bits < 8 || bits > 32 || bits % 8 != 0 || width <= 0 ||
        height <= 0 || width > maxSurfaceSide || height > maxSurfaceSide) {
        return SurfaceCreateFailed;
    }
    switch (kind & 0xFF) {
        case SurfaceKindClientMemory: {
            // Rows start on 8-byte boundaries so the block copy can move whole rows.
            const int32_t rowBytes = ((width * bits) / 8 + 7) & ~7;
            auto* memory = new (std::nothrow) uint8_t[static_cast<size_t>(rowBytes) * height]();
            if (memory == nullptr) {
                return SurfaceCreateFailed;
            }
            platformSurface =
                SDL_CreateRGBSurfaceWithFormatFrom(memory, width, height, bits, rowBytes, format);
            if (platformSurface == nullptr) {
                delete[] memory;
                return SurfaceCreateFailed;
            }
            pixels = memory;
            pitch = rowBytes;
            break;
        }
        case SurfaceKindPreferVideo:
        case SurfaceKindVideo:
        case SurfaceKindSystem:
        case SurfaceKindTexture:
        case SurfaceKindManagedTexture:
            platformSurface = SDL_CreateRGBSurfaceWithFormat(0, width, height, bits, format);
            if (platformSurface == nullptr) {
                return SurfaceCreateFailed;
            }
            // SDL has no video memory: "video when possible" ends in system memory.
            if ((kind & 0xFF) == SurfaceKindPreferVideo) {
                kind = static_cast<uint16_t>(SurfaceKindSystem | (kind & SurfaceKind3D));
            }
            if ((kind & 0xFF) == SurfaceKindSystem) {
                Lock();
                Unlock();
            }
            break;
        default:
            break;
    }
    if (platformSurface != nullptr && dc == nullptr) {
        dc = new (std::nothrow) DeviceContext(platformSurface);
    }
    SetClip(&screen->clip);
    SetPalette(screen->palette);
    return 0;
}

void Surface::Release() {
    if (releaseCallback != nullptr) {
        releaseCallback(this);
    }
    if (restoreData != nullptr && (flags & OwnsRestoreData) != 0) {
        std::free(restoreData);
    }
    restoreData = nullptr;
    if ((flags & DcHeld) != 0) {
        ReleaseDC();
    }
    if ((flags & Locked) != 0) {
        Unlock();
    }
    if ((flags & OwnsClip) != 0) {
        delete clip;
        clip = nullptr;
    }
    if (platformSurface != nullptr) {
        if ((kind & 0xFF) == SurfaceKindClientMemory) {
            delete[] static_cast<uint8_t*>(platformSurface->pixels);
        }
        SDL_FreeSurface(platformSurface);
        platformSurface = nullptr;
        pixels = nullptr;
        pitch = 0;
    }
    delete opacityMask;
    opacityMask = nullptr;
    delete dc;
    dc = nullptr;
    restoreCallback = nullptr;
    screen = nullptr;
    palette = nullptr;
    kind = 0;
    flags = static_cast<uint8_t>(flags & ~(OwnsClip | OwnsRestoreData));
}

void Surface::SetClip(Rect* rect) {
    if ((flags & OwnsClip) != 0) {
        delete clip;
    }
    clip = rect;
    flags = static_cast<uint8_t>(flags & ~OwnsClip);
}

void Surface::SetClipCopy(const Rect& rect) {
    if ((flags & OwnsClip) == 0) {
        clip = new Rect();
    }
    *clip = rect;
    flags |= OwnsClip;
}

int Surface::SetPalette(Palette* newPalette) {
    palette = newPalette;
    if (palette == nullptr) {
        return SurfacePaletteRefused;
    }
    if (platformSurface != nullptr && screen != nullptr && screen->pixelFormat != nullptr &&
        screen->pixelFormat->bitsPerPixel == 8 && palette->platformPalette != nullptr &&
        SDL_SetSurfacePalette(platformSurface, palette->platformPalette) != 0) {
        return SurfacePaletteRefused;
    }
    return 0;
}

void Surface::SetColorKey(uint32_t key) {
    SetColorKeyRange(key, key);
}

void Surface::SetColorKeyRange(uint32_t low, uint32_t high) {
    if (platformSurface == nullptr) {
        return;
    }
    colorKey = low;
    colorKeyHigh = high;
    SDL_SetColorKey(platformSurface, SDL_TRUE, low);
}

void Surface::SetRestoreCallback(RestoreCallback callback, void* data, bool ownsData) {
    restoreCallback = callback;
    restoreData = data;
    flags = static_cast<uint8_t>(ownsData ? flags | OwnsRestoreData : flags & ~OwnsRestoreData);
}

void Surface::SetReleaseCallback(ReleaseCallback callback) {
    releaseCallback = callback;
}

int Surface::Lock() {
    if ((flags & Locked) != 0 || (kind & 0xFF) == SurfaceKindClientMemory) {
        return 0;
    }
    if (platformSurface == nullptr || SDL_LockSurface(platformSurface) != 0) {
        return SurfaceLockFailed;
    }
    pixels = platformSurface->pixels;
    pitch = platformSurface->pitch;
    flags |= Locked;
    return 0;
}

int Surface::Unlock() {
    if ((flags & Locked) == 0 || (kind & 0xFF) == SurfaceKindClientMemory) {
        return 0;
    }
    if (platformSurface == nullptr) {
        return SurfaceUnlockFailed;
    }
    SDL_UnlockSurface(platformSurface);
    flags = static_cast<uint8_t>(flags & ~Locked);
    return 0;
}

// The context is kept between acquisitions so per-frame text allocates
// nothing; each acquisition starts it afresh like a new platform context.
int Surface::AcquireDC() {
    if ((flags & DcHeld) != 0) {
        return 0;
    }
    if (platformSurface == nullptr) {
        return SurfaceAcquireDcFailed;
    }
    if (dc == nullptr) {
        dc = new (std::nothrow) DeviceContext(platformSurface);
        if (dc == nullptr) {
            return SurfaceAcquireDcFailed;
        }
    }
    *dc = DeviceContext(platformSurface);  // a Screen may have given it another surface
    flags |= DcHeld;
    return 0;
}

int Surface::ReleaseDC() {
    if ((flags & DcHeld) == 0) {
        return 0;
    }
    if (dc == nullptr) {
        return SurfaceReleaseDcFailed;
    }
    flags = static_cast<uint8_t>(flags & ~DcHeld);
    return 0;
}

namespace {

// Fills an area of the surface with a raw pixel value. 16-bit surfaces in plain
// memory are filled row by row here: SDL_FillRect's streaming stores bypass the
// cache, so the sprites drawn right after a frame's clear would find the whole
// back surface evicted. Other surfaces go through SDL_FillRect.
bool FillArea(SDL_Surface* surface, const SDL_Rect& area, uint32_t colour) {
    if (surface->format->BytesPerPixel != 2 || SDL_MUSTLOCK(surface) ||
        surface->pixels == nullptr) {
        return SDL_FillRect(surface, &area, colour) == 0;
    }
    const auto pixel = static_cast<uint16_t>(colour);
    auto* row = static_cast<uint8_t*>(surface->pixels) +
                static_cast<size_t>(area.y) * surface->pitch + static_cast<size_t>(area.x) * 2;
    for (int32_t y = 0; y < area.h; ++y, row += surface->pitch) {
        if ((pixel & 0xFF) == (pixel >> 8)) {
            std::memset(row, pixel & 0xFF, static_cast<size_t>(area.w) * 2);
        } else {
            Fill16(reinterpret_cast<uint16_t*>(row), pixel, area.w);
        }
    }
    return true;
}

}  // namespace

int Surface::Fill(uint32_t colour) {
    if (platformSurface == nullptr) {
        return SurfaceFillFailed;
    }
    const SDL_Rect whole{0, 0, platformSurface->w, platformSurface->h};
    return FillArea(platformSurface, whole, colour) ? 0 : SurfaceFillFailed;
}

int Surface::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
    if (platformSurface == nullptr) {
        return SurfaceFillFailed;
    }
    // Cut to the surface first so the width and height cannot overflow.
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, platformSurface->w);
    bottom = std::min(bottom, platformSurface->h);
    if (right <= left || bottom <= top) {
        return 0;
    }
    const SDL_Rect area{left, top, right - left, bottom - top};
    return FillArea(platformSurface, area, colour) ? 0 : SurfaceFillFailed;
}

int Surface::FillRect(const Rect& rect, uint32_t colour) {
    return FillRect(rect.left, rect.top, rect.right, rect.bottom, colour);
}

bool Surface::TryRestore() {
    if (platformSurface == nullptr) {
        return false;
    }
    if (screen == nullptr) {
        return true;
    }
    screen->surfacesLost = true;
    // Pixel memory survives a renderer reset; only what the display shows
    // from (the texture) has to be made again.
    const bool shown = this == screen->frontSurface || this == screen->backSurface;
    if (shown && screen->directDraw != nullptr) {
        return screen->directDraw->Restore();
    }
    return true;
}

void Surface::NotifyRestored() {
    if (platformSurface != nullptr && restoreCallback != nullptr) {
        restoreCallback(this, restoreData);
    }
}

void Surface::CreateOpacityMask() {
    flags = static_cast<uint8_t>(flags & ~MaskEncoded);
    delete opacityMask;
    opacityMask = new OpacityMask(width, height);
}

int Surface::LoadOpacityMaskFile(const char* path, int32_t x, int32_t y) {
    FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        return SurfaceMaskLoadFailed;
    }
    const int result = LoadOpacityMaskStream(file, x, y, FileLength(file));
    std::fclose(file);
    return result;
}

int Surface::LoadOpacityMaskStream(FILE* file, int32_t x, int32_t y, int32_t length) {
    if (file == nullptr || length <= 0) {
        return SurfaceMaskLoadFailed;
    }
    auto* bytes = new (std::nothrow) uint8_t[static_cast<size_t>(length)];
    if (bytes == nullptr) {
        return SurfaceMaskLoadFailed;
    }
    const size_t got = std::fread(bytes, 1, static_cast<size_t>(length), file);
    return LoadOpacityMaskMemory(bytes, static_cast<int32_t>(got), x, y);
}

int Surface::LoadOpacityMaskMemory(uint8_t* bytes, int32_t length, int32_t x, int32_t y) {
    if (opacityMask == nullptr) {
        CreateOpacityMask();
    }
    const bool loaded = bytes != nullptr && length > 0 &&
                        opacityMask->LoadBitmap(bytes, static_cast<size_t>(length), x, y);
    delete[] bytes;
    return loaded ? 0 : SurfaceMaskLoadFailed;
}

void Surface::EncodeOpacityMask() {
    flags |= MaskEncoded;
    if (opacityMask != nullptr) {
        opacityMask->Encode(opacityMaskDrawThreshold);
    }
}

void Surface::SetOpacityMask(OpacityMask* mask) {
    opacityMask = mask;
}

void RegisterSurface(Surface* surface) {
    Registry().push_back(surface);
}

void UnregisterSurface(Surface* surface) {
    std::vector<Surface*>& registry = Registry();
    for (size_t i = 0; i < registry.size(); ++i) {
        if (registry[i] == surface) {
            registry[i] = registry.back();
            registry.pop_back();
            return;
        }
    }
}

int32_t RegisteredSurfaceCount() {
    return static_cast<int32_t>(Registry().size());
}

Surface* RegisteredSurface(int32_t index) {
    const std::vector<Surface*>& registry = Registry();
    if (index < 0 || index >= static_cast<int32_t>(registry.size())) {
        return nullptr;
    }
    return registry[index];
}
