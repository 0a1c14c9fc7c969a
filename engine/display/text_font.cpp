// Text fonts on SDL2_ttf: face lookup through fontconfig, the process-wide
// default font, and measuring and drawing runs of Latin-1 text from a glyph
// cache, so that text drawn every frame allocates nothing.
#include "engine/display/text_font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// TTF_Init counts its callers; every successful call here is matched by the
// TTF_Quit in CloseTextFont or at exit.
bool StartTtf() {
    return TTF_Init() == 0;
}

// The file of the installed face that best matches the family name, asking
// for a scalable face; empty when fontconfig knows no font at all.
std::string FindFontFile(const char* faceName) {
    const char* family = (faceName != nullptr && faceName[0] != '\0') ? faceName : "DejaVu Sans";
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return {};
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    FcChar8* file = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        file != nullptr) {
        path = reinterpret_cast<const char*>(file);
    }
    if (match != nullptr) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

struct DefaultFontHolder {
    bool tried = false;
    TextFont font = nullptr;

    ~DefaultFontHolder() {
        if (font != nullptr && TTF_WasInit() > 0) {
            CloseTextFont(font);
        }
    }
};

DefaultFontHolder defaultFont;

// One Latin-1 character rendered without antialiasing: coverage 1 where the
// glyph is set, placed offsetX pixels from the pen, one line high.
struct Glyph {
    int32_t width = 0;
    int32_t height = 0;
    int32_t offsetX = 0;
    int32_t advance = 0;
    std::vector<uint8_t> coverage;
};

// Every character of a font is rendered once, when the font is first used;
// drawing afterwards only reads the cache.
struct FontGlyphs {
    TextFont font = nullptr;
    int32_t lineHeight = 0;
    Glyph glyphs[256];
};

std::vector<FontGlyphs*>& GlyphCaches() {
    static auto* caches = new std::vector<FontGlyphs*>();
    return *caches;
}

void RenderGlyph(TextFont font, uint32_t character, Glyph& glyph) {
    int minX = 0;
    int maxX = 0;
    int minY = 0;
    int maxY = 0;
    int advance = 0;
    if (TTF_GlyphMetrics32(font, character, &minX, &maxX, &minY, &maxY, &advance) != 0) {
        return;
    }
    glyph.advance = advance;
    // A single character's image starts at its left bearing when that is
    // negative, at the pen otherwise.
    glyph.offsetX = std::min(minX, 0);
    SDL_Surface* image = TTF_RenderGlyph32_Solid(font, character, SDL_Color{255, 255, 255, 255});
    if (image == nullptr) {
        return;
    }
    if (image->format->BytesPerPixel == 1 && SDL_LockSurface(image) == 0) {
        glyph.width = image->w;
        glyph.height = image->h;
        glyph.coverage.resize(static_cast<size_t>(image->w) * image->h);
        for (int y = 0; y < image->h; ++y) {
            const auto* row = static_cast<const uint8_t*>(image->pixels) + y * image->pitch;
            for (int x = 0; x < image->w; ++x) {
                glyph.coverage[static_cast<size_t>(y) * image->w + x] = row[x] != 0 ? 1 : 0;
            }
        }
        SDL_UnlockSurface(image);
    }
    SDL_FreeSurface(image);
}

FontGlyphs* GlyphsOf(TextFont font) {
    for (FontGlyphs* cache : GlyphCaches()) {
        if (cache->font == font) {
            return cache;
        }
    }
    auto* cache = new FontGlyphs();
    cache->font = font;
    cache->lineHeight = TTF_FontHeight(font);
    for (uint32_t character = 32; character < 256; ++character) {
        if (character < 127 || character > 159) {
            RenderGlyph(font, character, cache->glyphs[character]);
        }
    }
    GlyphCaches().push_back(cache);
    return cache;
}

void ForgetGlyphs(TextFont font) {
    std::vector<FontGlyphs*>& caches = GlyphCaches();
    for (size_t i = 0; i < caches.size(); ++i) {
        if (caches[i]->font == font) {
            delete caches[i];
            caches.erase(caches.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

// Walks the text's glyphs with kerning, calling place(glyph, x) with each
// glyph's image position relative to the run's start; returns the run's width
// (the pen's end, or further where a glyph's image reaches beyond it).
template <typename Place>
int32_t WalkRun(FontGlyphs& cache, const char* text, Place place) {
    int32_t pen = 0;
    int32_t extent = 0;
    uint32_t previous = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto character = static_cast<uint8_t>(*p);
        if (previous != 0) {
            pen += TTF_GetFontKerningSizeGlyphs32(cache.font, previous, character);
        }
        const Glyph& glyph = cache.glyphs[character];
        place(glyph, pen + glyph.offsetX);
        extent = std::max(extent, pen + glyph.offsetX + glyph.width);
        pen += glyph.advance;
        previous = character;
    }
    return std::max(extent, pen);
}

SDL_Color ColourOf(uint32_t colour) {
    return SDL_Color{static_cast<Uint8>(colour & 0xFF), static_cast<Uint8>((colour >> 8) & 0xFF),
                     static_cast<Uint8>((colour >> 16) & 0xFF), 0xFF};
}

}  // namespace

// Fontconfig loses a few hundred bytes while parsing its configuration once
// per process; LeakSanitizer (sanitizer builds only) is told to ignore them.
// Weak, so a program with its own suppressions keeps them.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

TextFont OpenTextFont(const char* faceName, int32_t pixelHeight) {
    if (pixelHeight <= 0) {
        pixelHeight = DefaultTextHeight;
    }
    if (pixelHeight > 512) {
        pixelHeight = 512;
    }
    const std::string path = FindFontFile(faceName);
    if (path.empty() || !StartTtf()) {
        return nullptr;
    }
    TTF_Font* font = TTF_OpenFont(path.c_str(), pixelHeight);
    if (font == nullptr) {
        TTF_Quit();
        return nullptr;
    }
    // Point sizes and line heights differ by the face's ascent and descent;
    // step down until a line fits the requested height.
    for (int32_t size = pixelHeight; size > 1 && TTF_FontHeight(font) > pixelHeight; --size) {
        TTF_SetFontSize(font, size - 1);
    }
    GlyphsOf(font);
    return font;
}

void CloseTextFont(TextFont font) {
    if (font == nullptr) {
        return;
    }
    ForgetGlyphs(font);
    TTF_CloseFont(font);
    TTF_Quit();
}

TextFont DefaultTextFont() {
    if (!defaultFont.tried) {
        defaultFont.tried = true;
        defaultFont.font = OpenTextFont(nullptr, DefaultTextHeight);
    }
    return defaultFont.font;
}

bool MeasureTextRun(TextFont font, const char* text, int32_t* width, int32_t* height) {
    if (font == nullptr) {
        font = DefaultTextFont();
    }
    int32_t w = 0;
    int32_t h = 0;
    const bool measured = font != nullptr && text != nullptr && text[0] != '\0';
    if (measured) {
        FontGlyphs& cache = *GlyphsOf(font);
        w = WalkRun(cache, text, [](const Glyph&, int32_t) {});
        h = cache.lineHeight;
    }
    if (width != nullptr) {
        *width = w;
    }
    if (height != nullptr) {
        *height = h;
    }
    return measured;
}

void RenderTextRun(SDL_Surface* target, TextFont font, const char* text, int32_t x, int32_t y,
                   uint32_t colour, const uint32_t* background) {
    if (font == nullptr) {
        font = DefaultTextFont();
    }
    if (target == nullptr || font == nullptr || text == nullptr || text[0] == '\0' ||
        target->locked != 0 || target->pixels == nullptr) {
        return;
    }
    const int bytesPerPixel = target->format->BytesPerPixel;
    if (bytesPerPixel != 1 && bytesPerPixel != 2 && bytesPerPixel != 4) {
        return;
    }
    FontGlyphs& cache = *GlyphsOf(font);
    const SDL_Rect& bounds = target->clip_rect;
    if (background != nullptr) {
        const SDL_Color back = ColourOf(*background);
        const int32_t width = WalkRun(cache, text, [](const Glyph&, int32_t) {});
        SDL_Rect box{x, y, width, cache.lineHeight};
        SDL_FillRect(target, &box, SDL_MapRGB(target->format, back.r, back.g, back.b));
    }
    const SDL_Color ink = ColourOf(colour);
    const uint32_t pixel = SDL_MapRGB(target->format, ink.r, ink.g, ink.b);
    auto* base = static_cast<uint8_t*>(target->pixels);
    WalkRun(cache, text, [&](const Glyph& glyph, int32_t offset) {
        for (int32_t row = 0; row < glyph.height; ++row) {
            const int64_t ty = static_cast<int64_t>(y) + row;
            if (ty < bounds.y || ty >= bounds.y + bounds.h) {
                continue;
            }
            uint8_t* line = base + ty * target->pitch;
            const uint8_t* cover = glyph.coverage.data() + static_cast<size_t>(row) * glyph.width;
            for (int32_t column = 0; column < glyph.width; ++column) {
                const int64_t tx = static_cast<int64_t>(x) + offset + column;
                if (cover[column] == 0 || tx < bounds.x || tx >= bounds.x + bounds.w) {
                    continue;
                }
                if (bytesPerPixel == 2) {
                    reinterpret_cast<uint16_t*>(line)[tx] = static_cast<uint16_t>(pixel);
                } else if (bytesPerPixel == 4) {
                    reinterpret_cast<uint32_t*>(line)[tx] = pixel;
                } else {
                    line[tx] = static_cast<uint8_t>(pixel);
                }
            }
        }
    });
}
