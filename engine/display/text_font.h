// Text fonts on SDL2_ttf: the handle the engine passes around, the default
// face found through fontconfig, and measuring and drawing one run of text.
// When no font file can be found, text draws nothing and measures 0 x 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/display/font_handle.h"

struct SDL_Surface;

// Pixel height the default face is opened at: one status-panel line.
constexpr int32_t defaultTextHeight = 16;

// Opens the face whose family best matches faceName (null or empty: a sans
// face such as DejaVu Sans) so that its lines are at most pixelHeight pixels
// high (pixelHeight <= 0: defaultTextHeight). Null when no font file is found
// or it cannot be opened. Close it with CloseTextFont.
TextFont OpenTextFont(const char* faceName, int32_t pixelHeight);
void CloseTextFont(TextFont font);

// The process-wide default font, opened on first use and closed at exit; null
// when none can be found.
TextFont DefaultTextFont();

// Width and height in pixels of the text drawn with font (null: the default).
// False (and 0 x 0) without a font or for an empty text.
bool MeasureTextRun(TextFont font, const char* text, int32_t* width, int32_t* height);

// The text (NUL-terminated) in UTF-8, as the font renderer takes it, cut at a
// character boundary to fit `size` bytes with the terminator.
void TextToUtf8(const char* text, char* out, size_t size);

// Draws text with its top-left corner at (x, y) into target, clipped to the
// target. Colours are 0x00BBGGRR. With a background colour the text's box is
// filled with it first (opaque), otherwise only the glyphs' pixels change.
// Glyphs are not antialiased, so every changed pixel has exactly one of the
// two colours. Bytes are Windows-1252 characters, drawn from a cache of the font's
// glyphs made at its first use (no allocation afterwards). Nothing happens
// without a font, on an empty text or a locked SDL surface.
void RenderTextRun(SDL_Surface* target, TextFont font, const char* text, int32_t x, int32_t y,
                   uint32_t colour, const uint32_t* background);
