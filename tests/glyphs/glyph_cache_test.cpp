// Cached glyphs against the font renderer they were taken from: the same box,
// the same pixels, for the panel's texts and for random texts of every byte; clipping
// at every edge; targets of other depths; fonts that are not cached.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/display/glyph_cache.h"
#include "engine/display/text_bytes.h"
#include "engine/display/text_font.h"

namespace {

constexpr uint16_t ink = 0x7FFF;

// A 16-bit canvas with a margin, so drawing outside the clip would show.
struct Canvas {
    Canvas(int32_t w, int32_t h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
    uint16_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int32_t width;
    int32_t height;
    std::vector<uint16_t> pixels;
};

class GlyphCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        font = DefaultTextFont();
        if (font == nullptr) {
            GTEST_SKIP() << "no font installed";
        }
        ASSERT_TRUE(cache.Build(font));
    }

    // The renderer's own picture of text as a coverage mask, or empty.
    static std::vector<uint8_t> Reference(TextFont font, const std::string& text, int32_t* width,
                                          int32_t* height) {
        // Text bytes are Windows-1252; the renderer is given them as UTF-8.
        std::vector<char> utf8(3 * text.size() + 1);
        TextToUtf8(text.c_str(), utf8.data(), utf8.size());
        SDL_Surface* image = TTF_RenderUTF8_Solid(font, utf8.data(), SDL_Color{255, 255, 255, 255});
        *width = *height = 0;
        std::vector<uint8_t> mask;
        if (image == nullptr) {
            return mask;
        }
        *width = image->w;
        *height = image->h;
        for (int32_t y = 0; y < image->h; ++y) {
            for (int32_t x = 0; x < image->w; ++x) {
                mask.push_back(static_cast<const uint8_t*>(image->pixels)[y * image->pitch + x] !=
                               0);
            }
        }
        SDL_FreeSurface(image);
        return mask;
    }

    void ExpectSameAsRenderer(const std::string& text) { ExpectSameAsRenderer(font, cache, text); }

    static void ExpectSameAsRenderer(TextFont font, const GlyphCache& cache,
                                     const std::string& text) {
        int32_t refWidth = 0;
        int32_t refHeight = 0;
        const std::vector<uint8_t> reference = Reference(font, text, &refWidth, &refHeight);
        int32_t width = 0;
        int32_t height = 0;
        const bool measured =
            cache.Measure(text.c_str(), static_cast<int32_t>(text.size()), &width, &height);
        ASSERT_EQ(measured, refWidth > 0) << text;
        ASSERT_EQ(width, refWidth) << text;
        if (!measured) {
            return;
        }
        ASSERT_EQ(height, refHeight) << text;
        // Drawn at (3, 2) of a canvas with room around the box.
        Canvas canvas(width + 6, height + 4);
        cache.Draw(canvas.pixels.data(), canvas.width * 2, 2, 0, 0, canvas.width, canvas.height,
                   text.c_str(), static_cast<int32_t>(text.size()), 3, 2, ink);
        for (int32_t y = 0; y < canvas.height; ++y) {
            for (int32_t x = 0; x < canvas.width; ++x) {
                const bool inBox = x >= 3 && x < 3 + width && y >= 2 && y < 2 + height;
                const bool covered = inBox && reference[(y - 2) * width + (x - 3)] != 0;
                ASSERT_EQ(canvas.At(x, y), covered ? ink : 0)
                    << "text \"" << text << "\" at " << x << "," << y;
            }
        }
    }

    TextFont font = nullptr;
    GlyphCache cache;
};

}  // namespace

TEST_F(GlyphCacheTest, PanelTextsMatchTheRendererPixelForPixel) {
    for (const char* text : {"Health: ", "Ki: ", "Kills: ", "-100", "0", "1234567890", "FPS=60.",
                             "FPS=1.235e+004", "Health: -7"}) {
        ExpectSameAsRenderer(text);
    }
}

TEST_F(GlyphCacheTest, RandomTextsMatchTheRenderer) {
    std::mt19937 random(7);
    for (int32_t n = 0; n < 400; ++n) {
        std::string text;
        const int32_t length = 1 + static_cast<int32_t>(random() % 14);
        for (int32_t i = 0; i < length; ++i) {
            // Bias toward printable ASCII, where kerning, overhangs (j, T, _) and
            // punctuation meet; every other byte value appears too.
            const uint32_t pick = random();
            text +=
                static_cast<char>(pick % 4 != 0 ? 32 + (pick >> 2) % 95 : 1 + (pick >> 2) % 255);
        }
        ExpectSameAsRenderer(text);
    }
    // Overhangs at both ends, a text of spaces only, a zero-width glyph alone.
    ExpectSameAsRenderer("jTj_");
    ExpectSameAsRenderer("   ");
    ExpectSameAsRenderer("\xAD");
    // Windows-1252's typographic characters: the em dash of the pause line,
    // quotes, the euro sign.
    ExpectSameAsRenderer("Paused \x97 P");
    ExpectSameAsRenderer("\x93quoted\x94 \x80 \x85");
}

TEST(TextBytes, AreWindows1252) {
    EXPECT_EQ(CharacterOfTextByte('A'), 0x41);
    EXPECT_EQ(CharacterOfTextByte(0x97), 0x2014);  // em dash
    EXPECT_EQ(CharacterOfTextByte(0x80), 0x20AC);  // euro sign
    EXPECT_EQ(CharacterOfTextByte(0x81), 0x81);    // unassigned: itself
    EXPECT_EQ(CharacterOfTextByte(0xE9), 0xE9);    // Latin-1 above 0x9F
    char out[16];
    TextToUtf8("a\x97\xE9", out, sizeof out);
    EXPECT_STREQ(out, "a\xE2\x80\x94\xC3\xA9");
    // Cut at a character, never inside one.
    TextToUtf8("ab\x97", out, 5);
    EXPECT_STREQ(out, "ab");
}

// Other faces and sizes: a face the renderer kerns is refused rather than
// drawn differently; every cache that is built draws as the renderer does.
TEST_F(GlyphCacheTest, OtherFacesAreCachedOnlyWhenTheyDrawTheSame) {
    std::mt19937 random(11);
    for (const char* face : {"DejaVu Serif", "DejaVu Sans Mono", "DejaVu Sans"}) {
        for (const int32_t size : {11, 16, 23}) {
            TextFont other = OpenTextFont(face, size);
            ASSERT_NE(other, nullptr);
            GlyphCache otherCache;
            if (otherCache.Build(other)) {
                for (int32_t n = 0; n < 150; ++n) {
                    std::string text;
                    for (int32_t i = 0, length = 1 + static_cast<int32_t>(random() % 12);
                         i < length; ++i) {
                        text += static_cast<char>(32 + random() % 95);
                    }
                    ExpectSameAsRenderer(other, otherCache, text);
                }
            }
            CloseTextFont(other);
        }
    }
}

TEST_F(GlyphCacheTest, ClippedDrawingIsTheUnclippedPictureCut) {
    const std::string text = "Kills: 42";
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_TRUE(cache.Measure(text.c_str(), 9, &width, &height));
    Canvas whole(width, height);
    cache.Draw(whole.pixels.data(), whole.width * 2, 2, 0, 0, width, height, text.c_str(), 9, 0, 0,
               ink);
    // The clip is a window in the middle of a larger canvas; the text is placed
    // across each of its edges and its corners, and far outside.
    const int32_t left = 20;
    const int32_t top = 20;
    const int32_t right = left + width / 2;
    const int32_t bottom = top + height / 2;
    for (const auto& [x, y] : std::vector<std::pair<int32_t, int32_t>>{{left - width / 3, top},
                                                                       {right - 3, top},
                                                                       {left, top - height / 2},
                                                                       {left, bottom - 2},
                                                                       {left - 5, top - 5},
                                                                       {right - 1, bottom - 1},
                                                                       {left - width, top},
                                                                       {right, top},
                                                                       {-2000000000, 2000000000}}) {
        Canvas canvas(right + 40, bottom + 40);
        cache.Draw(canvas.pixels.data(), canvas.width * 2, 2, left, top, right, bottom,
                   text.c_str(), 9, x, y, ink);
        for (int32_t py = 0; py < canvas.height; ++py) {
            for (int32_t px = 0; px < canvas.width; ++px) {
                const bool inClip = px >= left && px < right && py >= top && py < bottom;
                const int64_t ux = int64_t{px} - x;
                const int64_t uy = int64_t{py} - y;
                const bool inText = ux >= 0 && ux < width && uy >= 0 && uy < height;
                const uint16_t expected =
                    inClip && inText ? whole.At(static_cast<int32_t>(ux), static_cast<int32_t>(uy))
                                     : 0;
                ASSERT_EQ(canvas.At(px, py), expected) << "text at " << x << "," << y;
            }
        }
    }
}

// Each depth both wholly inside the surface and cut at its right edge.
TEST_F(GlyphCacheTest, DrawOnMatchesTheRendererOnSurfacesOfEveryDepth) {
    for (const uint32_t format : {SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_RGB565,
                                  SDL_PIXELFORMAT_RGB24, SDL_PIXELFORMAT_XRGB8888}) {
        for (const int32_t x : {2, 60}) {
            SDL_Surface* mine = SDL_CreateRGBSurfaceWithFormat(0, 90, 30, 32, format);
            SDL_Surface* theirs = SDL_CreateRGBSurfaceWithFormat(0, 90, 30, 32, format);
            ASSERT_NE(mine, nullptr);
            ASSERT_NE(theirs, nullptr);
            SDL_FillRect(mine, nullptr, SDL_MapRGB(mine->format, 10, 200, 30));
            SDL_FillRect(theirs, nullptr, SDL_MapRGB(theirs->format, 10, 200, 30));
            const uint32_t background = 0x402010;
            // The reference: a box filled with the background, the renderer's
            // glyphs blitted on it.
            SDL_Surface* glyphs =
                TTF_RenderText_Solid(font, "FPS=59.9", SDL_Color{0xFF, 0x80, 0x00, 0});
            ASSERT_NE(glyphs, nullptr);
            SDL_Rect box{x, 8, glyphs->w, glyphs->h};
            SDL_FillRect(theirs, &box, SDL_MapRGB(theirs->format, 0x10, 0x20, 0x40));
            SDL_BlitSurface(glyphs, nullptr, theirs, &box);
            SDL_FreeSurface(glyphs);
            cache.DrawOn(mine, "FPS=59.9", x, 8, 0x0080FF, &background);
            for (int32_t y = 0; y < 30; ++y) {
                ASSERT_EQ(std::memcmp(static_cast<uint8_t*>(mine->pixels) + y * mine->pitch,
                                      static_cast<uint8_t*>(theirs->pixels) + y * theirs->pitch,
                                      static_cast<size_t>(90) * mine->format->BytesPerPixel),
                          0)
                    << SDL_GetPixelFormatName(format) << " at " << x << ", row " << y;
            }
            SDL_FreeSurface(mine);
            SDL_FreeSurface(theirs);
        }
    }
}

TEST(GlyphCacheTable, OneCachePerFontForgottenWhenClosedAndHugeFontsLeftOut) {
    if (DefaultTextFont() == nullptr) {
        GTEST_SKIP() << "no font installed";
    }
    ASSERT_TRUE(PrepareGlyphs(DefaultTextFont()));
    const GlyphCache* glyphs = GlyphsFor(DefaultTextFont());
    ASSERT_NE(glyphs, nullptr);
    EXPECT_EQ(glyphs, GlyphsFor(DefaultTextFont()));
    EXPECT_EQ(glyphs->font, DefaultTextFont());
    // The table has no default of its own: no font, no cache.
    EXPECT_EQ(GlyphsFor(nullptr), nullptr);
    EXPECT_FALSE(PrepareGlyphs(nullptr));

    TextFont large = OpenTextFont(nullptr, 40);
    ASSERT_NE(large, nullptr);
    const GlyphCache* largeGlyphs = GlyphsFor(large);
    ASSERT_NE(largeGlyphs, nullptr);
    EXPECT_NE(largeGlyphs, glyphs);
    EXPECT_GT(largeGlyphs->lineHeight, glyphs->lineHeight);
    ForgetGlyphs(large);
    CloseTextFont(large);

    TextFont huge = OpenTextFont(nullptr, maxCachedTextHeight * 2);
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(GlyphsFor(huge), nullptr);
    EXPECT_EQ(GlyphsFor(huge), nullptr);  // remembered, not rebuilt
    ForgetGlyphs(huge);
    CloseTextFont(huge);

    GlyphCache empty;
    EXPECT_FALSE(empty.Build(nullptr));
    int32_t width = 5;
    EXPECT_FALSE(empty.Measure("abc", 3, &width, nullptr));
    EXPECT_EQ(width, 0);
    uint16_t pixel = 0;
    empty.Draw(&pixel, 2, 2, 0, 0, 1, 1, "abc", 3, 0, 0, ink);
    EXPECT_EQ(pixel, 0);
}

// Through the engine's text calls: a text beginning with a glyph that reaches
// back over the pen (j) or ending with one that reaches past its advance stays
// inside its measured box and looks as the renderer draws it.
TEST_F(GlyphCacheTest, TextRunsDrawInsideTheirMeasuredBoxAsTheRendererDoes) {
    for (const char* text : {"jam", "To", "Ty_", "Yo, j", "Kills: 7", "f/"}) {
        int32_t width = 0;
        int32_t height = 0;
        ASSERT_TRUE(MeasureTextRun(nullptr, text, &width, &height)) << text;
        SDL_Surface* drawn = SDL_CreateRGBSurfaceWithFormat(0, 120, 30, 16, SDL_PIXELFORMAT_RGB555);
        SDL_Surface* rendered = TTF_RenderText_Solid(font, text, SDL_Color{255, 255, 255, 0});
        ASSERT_NE(drawn, nullptr);
        ASSERT_NE(rendered, nullptr);
        EXPECT_EQ(width, rendered->w) << text;
        EXPECT_EQ(height, rendered->h) << text;
        RenderTextRun(drawn, nullptr, text, 10, 6, 0xFFFFFF, nullptr);
        for (int32_t y = 0; y < 30; ++y) {
            for (int32_t x = 0; x < 120; ++x) {
                const bool inBox = x >= 10 && x < 10 + rendered->w && y >= 6 && y < 6 + rendered->h;
                const bool set =
                    inBox && static_cast<const uint8_t*>(
                                 rendered->pixels)[(y - 6) * rendered->pitch + x - 10] != 0;
                const uint16_t pixel = reinterpret_cast<const uint16_t*>(
                    static_cast<const uint8_t*>(drawn->pixels) + y * drawn->pitch)[x];
                ASSERT_EQ(pixel, set ? 0x7FFF : 0) << text << " at " << x << "," << y;
            }
        }
        SDL_FreeSurface(rendered);
        SDL_FreeSurface(drawn);
    }
}
