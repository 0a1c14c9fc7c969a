// DisplayDriver: the SDL side of an open Screen: the video subsystem, the way
// pictures reach the mode's window (a renderer and its streaming texture, or
// the window's own pixels when the only renderer would draw on the processor),
// and the renderer resets that stand for lost surfaces.
#pragma once

#include <cstdint>

class FrameConverter;
struct Placement;
struct SDL_Rect;
struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;

class DisplayDriver {
public:
    // Outcome of handing a picture to the display.
    enum ShowResult { ShowDone, ShowLost, ShowFailed };
    // Rectangles handed to the window per show; more changes are merged.
    static constexpr int32_t maxShownRects = 32;

    explicit DisplayDriver(int32_t displayIndex);
    DisplayDriver(const DisplayDriver&) = delete;
    DisplayDriver& operator=(const DisplayDriver&) = delete;
    virtual ~DisplayDriver();

    // Where a picture lands on a target of the given size: as large as fits
    // with its aspect kept, centred.
    static Placement Letterbox(int32_t pictureWidth, int32_t pictureHeight, int32_t targetWidth,
                               int32_t targetHeight);

    // True for a renderer that draws on the processor: SDL's software one, or
    // OpenGL on a software rasteriser (glRenderer is GL_RENDERER's text).
    static bool DrawsOnProcessor(const char* rendererName, const char* glRenderer);

    int32_t displayIndex = 0;
    bool videoStarted = false;  // this driver holds a reference on SDL's video subsystem
    // The renderer is used only while the window with this id exists: SDL
    // destroys a window's renderer with the window.
    uint32_t windowId = 0;
    SDL_Renderer* renderer = nullptr;
    bool ownsRenderer = false;
    // Pictures are written into the window's own surface (no renderer): no
    // vsync, so the Screen's limiter paces from the first frame.
    bool framebuffer = false;
    SDL_Texture* texture = nullptr;
    uint32_t textureFormat = 0;
    int32_t textureWidth = 0;
    int32_t textureHeight = 0;
    // The texture holds the picture already scaled to its place (by the
    // FrameConverter, sharp at any factor) and is copied pixel for pixel;
    // otherwise it holds the picture at its own size and the renderer scales
    // it, by nearest pixel at a whole factor.
    bool scaledTexture = false;
    bool linearScaling = false;  // the texture's current scale mode
    // Full screen: the picture is letterboxed into the whole output; windowed:
    // it is drawn into a given rectangle of the window.
    bool letterbox = true;
    // Set by SDL's render-reset events (targets or device); cleared by Restore.
    bool lost = false;
    // The next show converts and shows the whole picture: set by a new window
    // surface or texture, an exposed or resized window, and a restore.
    bool redrawAll = true;
    // Renderers take no palettised textures: an 8-bit picture is converted
    // through its palette into this surface before the upload.
    SDL_Surface* converted = nullptr;
    // Owned: the 16-to-32-bit table and the last picture shown.
    FrameConverter* frames = nullptr;

    // Starts SDL video and checks the display index. False when either fails.
    bool Start();
    // Binds a renderer or the window's surface to the window (reusing a
    // renderer it already has); full screen, pictures are letterboxed into the
    // whole window, otherwise drawn into the destination Show is given. False
    // on failure.
    bool AttachWindow(SDL_Window* window, bool fullScreen);
    // A streaming texture of this format and size (re-made when they change).
    bool PrepareTexture(uint32_t format, int32_t width, int32_t height);
    // Shows the listed rectangles of source (all of it when rectCount is 0;
    // on the window's surface only what changed since the last show),
    // letterboxed or into destination. ShowLost when a renderer reset
    // arrived and nothing was shown.
    ShowResult Show(SDL_Surface* source, const SDL_Rect* rects, int32_t rectCount,
                    const SDL_Rect* destination);
    // Re-makes the texture after a reset. True when the display is usable again.
    bool Restore();
    // The renderer while its window exists, else null.
    SDL_Renderer* LiveRenderer();
    SDL_Window* LiveWindow();
    void DropRenderer();

private:
    void SetLinearScaling(bool linear);
    ShowResult ShowOnRenderer(SDL_Surface* source, const SDL_Rect* rects, int32_t rectCount,
                              const SDL_Rect* destination);
    ShowResult ShowOnWindowSurface(SDL_Surface* source, const SDL_Rect* rects, int32_t rectCount,
                                   const SDL_Rect* destination);
    bool UploadChangedRows(SDL_Surface* source, const SDL_Rect* rects, int32_t rectCount);
    bool UploadWhole(SDL_Surface* source, const SDL_Rect* rects, int32_t rectCount);

    SDL_Surface* windowSurface = nullptr;  // the surface last shown on, to notice a new one
    SDL_Rect* shown = nullptr;             // owned, maxShownRects entries
};
