// The few drawing habits every screen of the game shares: its colours, its
// three text sizes, framed boxes, centred and measured text, and dimming.
// Texts are Windows-1252, as the panel's are.
#pragma once

#include <cstdint>

#include "engine/display/text_font.h"

class Surface;

// Text colours, 0x00BBGGRR.
inline constexpr uint32_t textWhite = 0xFFFFFF;
inline constexpr uint32_t textGrey = 0xB0B0B0;
inline constexpr uint32_t textYellow = 0x40E0FF;
inline constexpr uint32_t textRed = 0x5050FF;

// The panel's text (the default face, 16 pixels high) and two larger sizes,
// opened once (OpenPainterFonts) so drawing them allocates nothing. A size
// that cannot be opened falls back to the panel's.
inline constexpr int32_t smallTextHeight = 16;
inline constexpr int32_t largeTextHeight = 24;
inline constexpr int32_t headingTextHeight = 36;
void OpenPainterFonts();
TextFont LargeFont();
TextFont HeadingFont();

// Width in pixels of text in font (null: the panel's).
int32_t TextWidth(TextFont font, const char* text);

// A black box with a grey frame, right and bottom exclusive.
void DrawBox(Surface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom);
// The same in a colour of the surface's own (a highlight), no frame.
void FillBox(Surface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
             uint8_t red, uint8_t green, uint8_t blue);

// Text centred on column centreX, its top at y.
void DrawCentred(Surface& surface, const char* text, int32_t centreX, int32_t y, uint32_t colour,
                 TextFont font = nullptr);

// Halves every channel of rows first .. first + count - 1 of a locked (or
// memory) 16-bit surface.
void DimRows(Surface& surface, int32_t first, int32_t count);
