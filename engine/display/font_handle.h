// The font handle the engine passes between the text renderer and the glyph
// caches: an open SDL_ttf font. Callers pass it along without looking inside.
#pragma once

struct _TTF_Font;

// An open font (the platform font object). Where a text call takes a font, null
// means "the default font" (text_font.h decides which face that is).
using TextFont = _TTF_Font*;
