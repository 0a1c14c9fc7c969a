// DeviceContext: what a Surface hands out for text drawing while its context
// is acquired: the target pixels, the selected font, the text and background
// colours and whether the background is painted.
#pragma once

#include <cstdint>

#include "engine/display/text_font.h"

struct SDL_Surface;

// Background modes, as SetBkMode takes them.
constexpr int32_t BackgroundTransparent = 1;
constexpr int32_t BackgroundOpaque = 2;

class DeviceContext {
public:
    explicit DeviceContext(SDL_Surface* target) : target(target) {}
    virtual ~DeviceContext() = default;

    SDL_Surface* target = nullptr;   // not owned: the surface's SDL surface
    TextFont font = nullptr;         // selected font; null draws with DefaultTextFont()
    uint32_t textColour = 0;         // 0x00BBGGRR; a new context draws black text
    uint32_t backColour = 0xFFFFFF;  // 0x00BBGGRR; used in BackgroundOpaque mode
    int32_t backMode = BackgroundOpaque;

    // Draws the first `length` bytes of text (stopping early at a NUL) with its
    // top-left corner at (x, y).
    void TextOut(int32_t x, int32_t y, const char* text, int32_t length);
    // Size of the text in the selected font; false without a font.
    bool MeasureText(const char* text, int32_t* width, int32_t* height) const;
};
