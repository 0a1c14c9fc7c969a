// Surface: a rectangle of 16-bit pixels held in an SDL_Surface that can be
// locked for direct writes, filled, copied to another Surface and written on
// with text; plus the process-wide registry of live Surfaces.
#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/display/rect.h"
#include "engine/display/text_font.h"

class DeviceContext;
class OpacityMask;
class Palette;
class Screen;
struct SDL_Surface;

// Result codes of the engine's shared numbering.
constexpr int SurfaceCreateFailed = 6;
constexpr int SurfaceLockFailed = 7;
constexpr int SurfaceUnlockFailed = 8;
constexpr int SurfaceAcquireDcFailed = 9;
constexpr int SurfaceReleaseDcFailed = 10;
constexpr int SurfaceMaskLoadFailed = 12;
constexpr int SurfaceFillFailed = 25;
constexpr int SurfacePaletteRefused = 35;

// Larger sides than this are refused before any arithmetic can overflow, for
// Surfaces and their opacity masks alike.
constexpr int32_t maxSurfaceSide = 16384;

// Kinds given to Create; add SurfaceKind3D to any of them to ask for the 3D
// device capability (recorded in `kind`; SDL surfaces have no such thing).
// Every kind is an SDL_Surface in the Screen's pixel format in main memory:
// SDL has no video-memory or texture surfaces that can be locked, so kind 1
// ("video memory when possible") always ends up as kind 3, and kinds 2, 4 and
// 5 keep their number but behave like kind 3.
constexpr uint16_t SurfaceKindPreferVideo = 1;
constexpr uint16_t SurfaceKindVideo = 2;
constexpr uint16_t SurfaceKindSystem = 3;
constexpr uint16_t SurfaceKindTexture = 4;
constexpr uint16_t SurfaceKindManagedTexture = 5;
constexpr uint16_t SurfaceKindClientMemory = 6;  // engine-owned memory, never locked
constexpr uint16_t SurfaceKind3D = 0x100;

class Surface {
public:
    // Runs after the Screen restored all surfaces, with this Surface and restoreData.
    using RestoreCallback = void (*)(Surface* surface, void* restoreData);
    // Runs at the start of Release.
    using ReleaseCallback = void (*)(Surface* surface);

    // `flags` bits.
    static constexpr uint8_t DcHeld = 0x02;
    static constexpr uint8_t Locked = 0x04;
    static constexpr uint8_t OwnsClip = 0x08;
    static constexpr uint8_t MaskEncoded = 0x10;
    static constexpr uint8_t OwnsRestoreData = 0x20;

    Surface();  // joins the registry
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    virtual ~Surface();  // Release, then leaves the registry

    Screen* screen = nullptr;
    // Bytes from one pixel row to the next, and the top-left pixel: valid while
    // locked, always for kind 6 (whose memory the Surface owns).
    int32_t pitch = 0;
    void* pixels = nullptr;
    DeviceContext* dc = nullptr;  // owned; valid while DcHeld is set
    int32_t height = 0;
    int32_t width = 0;
    uint32_t colorKey = 0;  // the key last set (the low end of a range)
    // Normally the Screen's clip (shared, so writing screen->clip reclips every
    // Surface at once); an owned copy while OwnsClip is set. Right and bottom
    // are exclusive for the Surface's own clipped copies.
    Rect* clip = nullptr;
    SDL_Surface* platformSurface = nullptr;  // owned, except a flip chain's back buffer
    uint8_t flags = 0;
    OpacityMask* opacityMask = nullptr;  // owned
    Palette* palette = nullptr;          // not owned
    void* restoreData = nullptr;         // owned (allocated with malloc) with OwnsRestoreData
    RestoreCallback restoreCallback = nullptr;
    ReleaseCallback releaseCallback = nullptr;
    uint16_t kind = 0;  // low byte: the kind given to Create (0: made by the Screen)

    // Makes the SDL surface in the Screen's pixel format. Needs only the
    // Screen's `pixelFormat` (its bitsPerPixel and masks), not an open display,
    // so kind 6 works headless. 0, or 6 when the size is not positive, too
    // large, the Screen has no usable pixel format or memory is short.
    int Create(Screen* screen, uint16_t kind, int32_t width, int32_t height);
    // Gives back everything the Surface holds; keeps a shared clip reference,
    // releaseCallback, the size and colorKey.
    void Release();

    void SetClip(Rect* rect);
    void SetClipCopy(const Rect& rect);
    // Records the palette; at 8 bits per pixel hands its SDL palette to the
    // SDL surface. 0, or 35 for no palette or a refusal.
    int SetPalette(Palette* palette);
    // Only with an SDL surface. SDL keys a single value, so a range keys its
    // low end on the SDL surface and keeps the range in colorKey/colorKeyHigh.
    void SetColorKey(uint32_t key);
    void SetColorKeyRange(uint32_t low, uint32_t high);
    void SetRestoreCallback(RestoreCallback callback, void* data, bool ownsData);
    void SetReleaseCallback(ReleaseCallback callback);

    int Lock();       // 0 or 7; 0 at once when already locked or kind 6
    int Unlock();     // 0 or 8; 0 at once when not locked or kind 6
    int AcquireDC();  // 0 or 9 (no SDL surface)
    int ReleaseDC();  // 0 or 10

    // Raw pixel value of the surface's format (0 is black); clip is not applied.
    int Fill(uint32_t colour);  // 0 or 25
    // Right and bottom exclusive; the rectangle is cut to the surface. 0 or 25.
    int FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour);
    int FillRect(const Rect& rect, uint32_t colour);
    // Copies source rectangle r of this Surface to (x, y) of the destination,
    // after clipping against this Surface's clip. No colour key. 0 on success;
    // -1 when a Surface has no SDL surface or is locked (its memory is the
    // locker's until Unlock), the formats differ or the clipped rectangle does
    // not lie inside both surfaces.
    int BlitTo(Surface* destination, int32_t x, int32_t y, Rect r);
    // Scales source rectangle s into destination rectangle d (nearest pixel)
    // after clipping d against clip and cutting s in proportion. Results as BlitTo.
    int StretchTo(Surface* destination, Rect s, Rect d);
    // Copies whole 8-byte blocks of each row of r (a row's byte width rounded
    // down to a multiple of 8) to (x, y) of the destination. Both surfaces must
    // be locked or of kind 6; anything that would reach outside either surface
    // copies nothing.
    void CopyBlocksTo(Surface* destination, int32_t x, int32_t y, Rect r);
    // Antialiased line in a raw pixel colour, 16-bit surfaces only, clipped to clip.
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);

    // Text with its top-left corner at (x, y); colours 0x00BBGGRR; font null
    // keeps the context's font (the default face). Each acquires the device
    // context if it is not held and releases it again. Always 0.
    int DrawText(const char* text, int32_t x, int32_t y, uint32_t colour, TextFont font = nullptr);
    int DrawTextOpaque(const char* text, int32_t x, int32_t y, uint32_t colour,
                       uint32_t backgroundColour, TextFont font = nullptr);
    // Outline colour one pixel left, right, above and below, the text colour on top.
    int DrawTextOutlined(const char* text, int32_t x, int32_t y, uint32_t colour,
                         uint32_t outlineColour, TextFont font = nullptr);
    // printf-formatted into a 2048-byte buffer; longer texts are cut to fit.
    int PrintText(int32_t x, int32_t y, uint32_t colour, TextFont font, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
    int PrintTextOpaque(int32_t x, int32_t y, uint32_t colour, uint32_t backgroundColour,
                        TextFont font, const char* format, ...)
        __attribute__((format(printf, 7, 8)));
    int PrintTextOutlined(int32_t x, int32_t y, uint32_t colour, uint32_t outlineColour,
                          TextFont font, const char* format, ...)
        __attribute__((format(printf, 7, 8)));

    // Restores a lost SDL surface (only the Screen's displayed surfaces can be
    // lost, when the renderer resets) and marks the Screen's surfacesLost.
    bool TryRestore();
    void NotifyRestored();

    // The opacity mask operations: 0, or 12 when the file cannot be opened or
    // the data is not an 8-bit Windows bitmap.
    void CreateOpacityMask();
    int LoadOpacityMaskFile(const char* path, int32_t x, int32_t y);
    int LoadOpacityMaskStream(FILE* file, int32_t x, int32_t y, int32_t length);
    // Takes over `bytes` (allocated with new[]) and frees them; `length` is
    // their size, and nothing beyond it is read.
    int LoadOpacityMaskMemory(uint8_t* bytes, int32_t length, int32_t x, int32_t y);
    void EncodeOpacityMask();
    void SetOpacityMask(OpacityMask* mask);  // the previous mask is not destroyed

    uint32_t colorKeyHigh = 0;  // high end of the last key range (= colorKey for one key)

private:
    int DrawTextWith(const char* text, int32_t x, int32_t y, uint32_t colour,
                     const uint32_t* background, const uint32_t* outline, TextFont font);
};

// The registry of live Surfaces, in registration order except that removing a
// Surface moves the last one into its slot.
void RegisterSurface(Surface* surface);
void UnregisterSurface(Surface* surface);
int32_t RegisteredSurfaceCount();
Surface* RegisteredSurface(int32_t index);  // null outside 0..count-1
