// Text fonts on SDL2_ttf: face lookup through fontconfig, the process-wide
// default font, and measuring and drawing runs of Windows-1252 text from the font's
// glyph cache, so that text drawn every frame allocates nothing.
#include "engine/display/text_font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cstring>
#include <string>

#include "engine/display/glyph_cache.h"
#include "engine/display/text_bytes.h"

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

// Texts longer than this reach the renderer cut (the Surface's formatted
// texts are at most 2047 bytes).
constexpr size_t maxRendererText = 2048;

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

void TextToUtf8(const char* text, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return;
    }
    size_t used = 0;
    for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
        const uint16_t c = CharacterOfTextByte(static_cast<uint8_t>(*p));
        char bytes[3];
        size_t count = 0;
        if (c < 0x80) {
            bytes[count++] = static_cast<char>(c);
        } else if (c < 0x800) {
            bytes[count++] = static_cast<char>(0xC0 | (c >> 6));
            bytes[count++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes[count++] = static_cast<char>(0xE0 | (c >> 12));
            bytes[count++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes[count++] = static_cast<char>(0x80 | (c & 0x3F));
        }
        if (used + count + 1 > size) {
            break;
        }
        std::memcpy(out + used, bytes, count);
        used += count;
    }
    out[used] = '\0';
}

TextFont OpenTextFont(const char* faceName, int32_t pixelHeight) {
    if (pixelHeight <= 0) {
        pixelHeight = defaultTextHeight;
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
    PrepareGlyphs(font);
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
        defaultFont.font = OpenTextFont(nullptr, defaultTextHeight);
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
        // A font without a cache (too tall, or kerned) is measured by the renderer.
        const GlyphCache* glyphs = GlyphsFor(font);
        int rendererWidth = 0;
        int rendererHeight = 0;
        if (glyphs != nullptr) {
            glyphs->Measure(text, static_cast<int32_t>(std::strlen(text)), &w, nullptr);
            h = glyphs->lineHeight;
        } else {
            char utf8[3 * maxRendererText + 1];
            TextToUtf8(text, utf8, sizeof utf8);
            if (TTF_SizeUTF8(font, utf8, &rendererWidth, &rendererHeight) == 0) {
                w = rendererWidth;
                h = rendererHeight;
            }
        }
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
        target->locked != 0) {
        return;
    }
    if (const GlyphCache* glyphs = GlyphsFor(font)) {
        glyphs->DrawOn(target, text, x, y, colour, background);
        return;
    }
    // Fonts without a cache: solid rendering gives an 8-bit surface whose
    // index 0 is keyed out and whose index 1 is the text colour.
    char utf8[3 * maxRendererText + 1];
    TextToUtf8(text, utf8, sizeof utf8);
    SDL_Surface* image = TTF_RenderUTF8_Solid(font, utf8, ColourOf(colour));
    if (image == nullptr) {
        return;
    }
    SDL_Rect box{x, y, image->w, image->h};
    if (background != nullptr) {
        const SDL_Color back = ColourOf(*background);
        SDL_FillRect(target, &box, SDL_MapRGB(target->format, back.r, back.g, back.b));
    }
    SDL_BlitSurface(image, nullptr, target, &box);
    SDL_FreeSurface(image);
}
