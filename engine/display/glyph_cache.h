// GlyphCache: every glyph of one font (the text byte values 1..255, which are
// Windows-1252 characters, text_font.h) rendered once into runs of covered
// pixels, so that text is laid out and drawn from them with no allocation and
// no call into the font renderer.
#pragma once

#include <cstdint>

#include "engine/display/font_handle.h"

struct SDL_Surface;

// Fonts taller than this are not cached (their runs would be large); their text
// goes through the font renderer.
constexpr int32_t maxCachedTextHeight = 128;

class GlyphCache {
public:
    GlyphCache() = default;
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;
    virtual ~GlyphCache();

    // Renders every glyph of font. False (and an empty cache) without a font,
    // for a font taller than maxCachedTextHeight, for a face whose pairs the
    // renderer kerns (placing glyphs by their advances would not match it), or
    // when memory is short. The font's size and style must not change later.
    bool Build(TextFont font);
    void Clear();
    bool Empty() const { return font == nullptr; }

    // The box the font renderer gives the first `length` bytes of text (ending
    // early at a NUL): its width, and the font's line height. False and 0 x 0
    // for an empty cache or a text of no width.
    bool Measure(const char* text, int32_t length, int32_t* width, int32_t* height) const;

    // Draws text with its box's top-left corner at (x, y) into 8-, 16-, 24- or
    // 32-bit pixels, writing `pixel` (a raw value of the target's format) on
    // every covered pixel and nothing else; clipped to the rectangle
    // clipLeft..clipRight - 1, clipTop..clipBottom - 1, which must lie inside
    // the pixel memory.
    void Draw(void* pixels, int32_t pitch, int32_t bytesPerPixel, int32_t clipLeft, int32_t clipTop,
              int32_t clipRight, int32_t clipBottom, const char* text, int32_t length, int32_t x,
              int32_t y, uint32_t pixel) const;

    // The same on an unlocked SDL surface, clipped to its clip rectangle, in a
    // 0x00BBGGRR colour; with a background colour the box is filled first.
    void DrawOn(SDL_Surface* target, const char* text, int32_t x, int32_t y, uint32_t colour,
                const uint32_t* background) const;

    TextFont font = nullptr;  // not owned; null while empty
    int32_t lineHeight = 0;

private:
    // A horizontal stretch of covered pixels, relative to the glyph's pen
    // position on the line and the top of the line.
    struct Run {
        int16_t x;
        int16_t y;
        int16_t length;
    };
    // A glyph as placed on the pen: its image spans left .. right - 1 (left is
    // negative when it reaches back over the previous glyph); the pen then
    // moves by advance. Glyphs the renderer draws as nothing have no runs and
    // no advance.
    struct Glyph {
        int16_t left = 0;
        int16_t right = 0;
        int16_t advance = 0;
        int32_t firstRun = 0;
        int32_t runCount = 0;
    };

    // The leftmost pixel and the width of the text's box, relative to the
    // first pen position.
    void Extent(const char* text, int32_t length, int32_t* boxLeft, int32_t* boxWidth) const;

    // Draws a text whose box (and every glyph's ink) lies inside the target:
    // no clipping per run. pen is the first glyph's pen column, top the row of
    // the line's top.
    template <typename Pixel>
    void DrawInside(uint8_t* base, int32_t pitch, const char* text, int32_t length, int64_t pen,
                    int64_t top, uint32_t pixel) const;

    Glyph glyphs[256];
    Run* runs = nullptr;  // owned
    int32_t runCount = 0;
    int32_t inkHeight = 0;  // rows from the line's top that any run reaches
};

// The process-wide caches, one per open font, built the first time a font is
// asked for. Null for a null font and for a font that cannot be cached; which
// font a null stands for is the text renderer's decision (text_font.h).
const GlyphCache* GlyphsFor(TextFont font);
// Builds the cache of a font ahead of the first text, so that drawing text
// later allocates nothing. True when it is ready.
bool PrepareGlyphs(TextFont font);
// Drops the cache of a font that is being closed.
void ForgetGlyphs(TextFont font);
