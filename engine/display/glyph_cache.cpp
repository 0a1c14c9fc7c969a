// GlyphCache: glyphs rendered once with SDL2_ttf's solid renderer and kept as
// runs; the process-wide table of caches, one per font.
#include "engine/display/glyph_cache.h"

#include "engine/display/text_bytes.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <initializer_list>
#include <new>
#include <vector>

namespace {

// Text runs are handed over NUL-terminated; this bounds the walk otherwise.
constexpr int32_t maxTextLength = 1 << 20;

// Lines measured by both the renderer and the cache when a cache is built.
constexpr const char* printableAscii =
    " !\"#$%&'()*+,-./"
    "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";
constexpr const char* kerningPairs = "AVATAR To Ty Wa We Yo LT P. F, r. Kv";

// Writes pixel over columns x0 .. x1 - 1 of one row.
void FillSpan(uint8_t* row, int32_t bytesPerPixel, int32_t x0, int32_t x1, uint32_t pixel) {
    switch (bytesPerPixel) {
        case 1:
            std::fill(row + x0, row + x1, static_cast<uint8_t>(pixel));
            break;
        case 2: {
            auto* out = reinterpret_cast<uint16_t*>(row);
            std::fill(out + x0, out + x1, static_cast<uint16_t>(pixel));
            break;
        }
        case 3:
            for (int32_t x = x0; x < x1; ++x) {
                uint8_t* p = row + x * 3;
                // The value's bytes in memory order, as SDL keeps 24-bit pixels.
                SDL_memcpy(p,
                           reinterpret_cast<const uint8_t*>(&pixel) +
                               (SDL_BYTEORDER == SDL_BIG_ENDIAN ? 1 : 0),
                           3);
            }
            break;
        case 4: {
            auto* out = reinterpret_cast<uint32_t*>(row);
            std::fill(out + x0, out + x1, pixel);
            break;
        }
        default:
            break;
    }
}

// Caches are few (the default face and whatever a program opens besides) and
// live until their font is closed. The table is plain data, so it stays valid
// while other globals (the default font among them) are destroyed at exit.
constexpr int32_t cacheSlotCount = 8;

struct CacheSlot {
    TextFont font;
    GlyphCache* cache;  // owned; null when the font could not be cached
};

CacheSlot cacheSlots[cacheSlotCount];

}  // namespace

GlyphCache::~GlyphCache() {
    Clear();
}

void GlyphCache::Clear() {
    delete[] runs;
    runs = nullptr;
    runCount = 0;
    inkHeight = 0;
    font = nullptr;
    lineHeight = 0;
    std::fill(std::begin(glyphs), std::end(glyphs), Glyph{});
}

bool GlyphCache::Build(TextFont newFont) {
    Clear();
    if (newFont == nullptr) {
        return false;
    }
    const int32_t height = TTF_FontHeight(newFont);
    if (height <= 0 || height > maxCachedTextHeight) {
        return false;
    }
    // The solid renderer gives an 8-bit surface per glyph, index 0 for the
    // background. Its image starts `start` columns before the pen when the
    // glyph reaches back (negative left bearing) and is as wide as the larger
    // of its ink and its advance: exactly how the renderer places the glyph
    // inside a line of text.
    std::vector<Run> collected;
    try {
        collected.reserve(4096);
        for (int32_t code = 1; code < 256; ++code) {
            Glyph& glyph = glyphs[code];
            int minX = 0;
            int maxX = 0;
            int minY = 0;
            int maxY = 0;
            int advance = 0;
            const Uint16 character = CharacterOfTextByte(static_cast<uint8_t>(code));
            if (TTF_GlyphMetrics(newFont, character, &minX, &maxX, &minY, &maxY, &advance) != 0) {
                minX = 0;
                advance = 0;
            }
            SDL_Surface* image =
                TTF_RenderGlyph_Solid(newFont, character, SDL_Color{0xFF, 0xFF, 0xFF, 0xFF});
            if (image == nullptr) {
                // Drawn as nothing in a line (a soft hyphen, say): no ink, no advance.
                continue;
            }
            const int32_t start = minX < 0 ? -minX : 0;
            glyph.left = static_cast<int16_t>(-start);
            glyph.right = static_cast<int16_t>(image->w - start);
            glyph.advance = static_cast<int16_t>(advance);
            glyph.firstRun = static_cast<int32_t>(collected.size());
            const bool locked = SDL_MUSTLOCK(image) && SDL_LockSurface(image) == 0;
            const auto* rows = static_cast<const uint8_t*>(image->pixels);
            for (int32_t y = 0; y < image->h && rows != nullptr; ++y) {
                const uint8_t* row = rows + static_cast<ptrdiff_t>(y) * image->pitch;
                int32_t x = 0;
                while (x < image->w) {
                    while (x < image->w && row[x] == 0) {
                        ++x;
                    }
                    const int32_t begin = x;
                    while (x < image->w && row[x] != 0) {
                        ++x;
                    }
                    if (x > begin) {
                        collected.push_back(Run{static_cast<int16_t>(begin - start),
                                                static_cast<int16_t>(y),
                                                static_cast<int16_t>(x - begin)});
                    }
                }
            }
            if (locked) {
                SDL_UnlockSurface(image);
            }
            SDL_FreeSurface(image);
            glyph.runCount = static_cast<int32_t>(collected.size()) - glyph.firstRun;
        }
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    runs = new (std::nothrow) Run[std::max<size_t>(collected.size(), 1)];
    if (runs == nullptr) {
        Clear();
        return false;
    }
    std::copy(collected.begin(), collected.end(), runs);
    runCount = static_cast<int32_t>(collected.size());
    inkHeight = height;
    for (const Run& run : collected) {
        inkHeight = std::max(inkHeight, run.y + 1);
    }
    font = newFont;
    lineHeight = height;
    // Glyphs are placed by their advances alone. A face whose pairs the
    // renderer kerns would come out wider here than there, so it is not
    // cached; these lines would show it.
    for (const char* sample : {printableAscii, kerningPairs}) {
        int rendererWidth = 0;
        int rendererHeight = 0;
        int32_t width = 0;
        if (TTF_SizeText(newFont, sample, &rendererWidth, &rendererHeight) != 0 ||
            !Measure(sample, maxTextLength, &width, nullptr) || width != rendererWidth) {
            Clear();
            return false;
        }
    }
    return true;
}

void GlyphCache::Extent(const char* text, int32_t length, int32_t* boxLeft,
                        int32_t* boxWidth) const {
    int32_t pen = 0;
    int32_t lowest = 0;
    int32_t highest = 0;
    for (int32_t i = 0; i < length && text[i] != '\0'; ++i) {
        const Glyph& glyph = glyphs[static_cast<uint8_t>(text[i])];
        lowest = std::min(lowest, pen + glyph.left);
        highest = std::max(highest, pen + glyph.right);
        pen += glyph.advance;
    }
    highest = std::max(highest, pen);
    *boxLeft = lowest;
    *boxWidth = highest - lowest;
}

bool GlyphCache::Measure(const char* text, int32_t length, int32_t* width, int32_t* height) const {
    int32_t boxLeft = 0;
    int32_t boxWidth = 0;
    if (!Empty() && text != nullptr) {
        Extent(text, std::min(length, maxTextLength), &boxLeft, &boxWidth);
    }
    const bool measured = boxWidth > 0;
    if (width != nullptr) {
        *width = measured ? boxWidth : 0;
    }
    if (height != nullptr) {
        *height = measured ? lineHeight : 0;
    }
    return measured;
}

template <typename Pixel>
void GlyphCache::DrawInside(uint8_t* base, int32_t pitch, const char* text, int32_t length,
                            int64_t pen, int64_t top, uint32_t pixel) const {
    const auto value = static_cast<Pixel>(pixel);
    uint8_t* const line = base + top * pitch;
    for (int32_t i = 0; i < length && text[i] != '\0'; ++i) {
        const Glyph& glyph = glyphs[static_cast<uint8_t>(text[i])];
        const Run* run = runs + glyph.firstRun;
        for (const Run* end = run + glyph.runCount; run != end; ++run) {
            Pixel* out = reinterpret_cast<Pixel*>(line + run->y * pitch) + pen + run->x;
            for (int32_t k = 0; k < run->length; ++k) {
                out[k] = value;
            }
        }
        pen += glyph.advance;
    }
}

void GlyphCache::Draw(void* pixels, int32_t pitch, int32_t bytesPerPixel, int32_t clipLeft,
                      int32_t clipTop, int32_t clipRight, int32_t clipBottom, const char* text,
                      int32_t length, int32_t x, int32_t y, uint32_t pixel) const {
    if (Empty() || pixels == nullptr || text == nullptr || clipLeft >= clipRight ||
        clipTop >= clipBottom) {
        return;
    }
    length = std::min(length, maxTextLength);
    int32_t boxLeft = 0;
    int32_t boxWidth = 0;
    Extent(text, length, &boxLeft, &boxWidth);
    // 64-bit positions: a text placed far outside the target cannot overflow.
    const int64_t top = y;
    if (boxWidth <= 0 || top >= clipBottom || top + lineHeight <= clipTop ||
        int64_t{x} >= clipRight || int64_t{x} + boxWidth <= clipLeft) {
        return;
    }
    auto* base = static_cast<uint8_t*>(pixels);
    int64_t pen = int64_t{x} - boxLeft;
    // The usual case, a text wholly inside the target, needs no clipping per run.
    if (x >= clipLeft && int64_t{x} + boxWidth <= clipRight && top >= clipTop &&
        top + inkHeight <= clipBottom) {
        if (bytesPerPixel == 2) {
            DrawInside<uint16_t>(base, pitch, text, length, pen, top, pixel);
            return;
        }
        if (bytesPerPixel == 4) {
            DrawInside<uint32_t>(base, pitch, text, length, pen, top, pixel);
            return;
        }
    }
    for (int32_t i = 0; i < length && text[i] != '\0'; ++i) {
        const Glyph& glyph = glyphs[static_cast<uint8_t>(text[i])];
        const bool visible = pen + glyph.right > clipLeft && pen + glyph.left < clipRight;
        for (int32_t r = 0; visible && r < glyph.runCount; ++r) {
            const Run& run = runs[glyph.firstRun + r];
            const int64_t row = top + run.y;
            if (row < clipTop || row >= clipBottom) {
                continue;
            }
            const int64_t from = std::max<int64_t>(pen + run.x, clipLeft);
            const int64_t to = std::min<int64_t>(pen + run.x + run.length, clipRight);
            if (from < to) {
                FillSpan(base + row * pitch, bytesPerPixel, static_cast<int32_t>(from),
                         static_cast<int32_t>(to), pixel);
            }
        }
        pen += glyph.advance;
    }
}

void GlyphCache::DrawOn(SDL_Surface* target, const char* text, int32_t x, int32_t y,
                        uint32_t colour, const uint32_t* background) const {
    if (Empty() || target == nullptr || text == nullptr || target->locked != 0) {
        return;
    }
    int32_t boxLeft = 0;
    int32_t boxWidth = 0;
    Extent(text, maxTextLength, &boxLeft, &boxWidth);
    if (boxWidth <= 0) {
        return;
    }
    const auto mapped = [target](uint32_t value) {
        return SDL_MapRGB(target->format, static_cast<Uint8>(value & 0xFF),
                          static_cast<Uint8>((value >> 8) & 0xFF),
                          static_cast<Uint8>((value >> 16) & 0xFF));
    };
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) {
        return;
    }
    const SDL_Rect& clip = target->clip_rect;
    if (background != nullptr) {
        // Row by row through the cache: SDL_FillRect's streaming stores take
        // microseconds even for a box this small.
        const int64_t top = std::max<int64_t>(y, clip.y);
        const int64_t bottom = std::min<int64_t>(int64_t{y} + lineHeight, int64_t{clip.y} + clip.h);
        const int64_t from = std::max<int64_t>(x, clip.x);
        const int64_t to = std::min<int64_t>(int64_t{x} + boxWidth, int64_t{clip.x} + clip.w);
        const uint32_t back = mapped(*background);
        for (int64_t row = top; row < bottom && from < to; ++row) {
            FillSpan(static_cast<uint8_t*>(target->pixels) + row * target->pitch,
                     target->format->BytesPerPixel, static_cast<int32_t>(from),
                     static_cast<int32_t>(to), back);
        }
    }
    Draw(target->pixels, target->pitch, target->format->BytesPerPixel, clip.x, clip.y,
         clip.x + clip.w, clip.y + clip.h, text, maxTextLength, x, y, mapped(colour));
    if (SDL_MUSTLOCK(target)) {
        SDL_UnlockSurface(target);
    }
}

const GlyphCache* GlyphsFor(TextFont font) {
    if (font == nullptr) {
        return nullptr;
    }
    CacheSlot* vacant = nullptr;
    for (CacheSlot& slot : cacheSlots) {
        if (slot.font == font) {
            return slot.cache;
        }
        if (slot.font == nullptr && vacant == nullptr) {
            vacant = &slot;
        }
    }
    if (vacant == nullptr) {
        return nullptr;
    }
    // A font that cannot be cached is remembered too, so it is not retried
    // (and nothing is allocated) at every text.
    auto* cache = new (std::nothrow) GlyphCache();
    if (cache != nullptr && !cache->Build(font)) {
        delete cache;
        cache = nullptr;
    }
    *vacant = CacheSlot{font, cache};
    return cache;
}

bool PrepareGlyphs(TextFont font) {
    return GlyphsFor(font) != nullptr;
}

void ForgetGlyphs(TextFont font) {
    if (font == nullptr) {
        return;
    }
    for (CacheSlot& slot : cacheSlots) {
        if (slot.font == font) {
            delete slot.cache;
            slot = CacheSlot{nullptr, nullptr};
        }
    }
}
