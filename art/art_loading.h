// Reading the art files the way the game does: the colour key and the sprites
// cut from a sheet. Nothing here prints; each caller decides what a missing
// file means to it (the game names it and plays on, replays need only two).
#pragma once

#include <cstdint>

class RleSprite;
class Screen;

// The colour key when TORVIK.BMP cannot be read: the art's pure magenta in the
// build's pixel layout.
uint16_t FallbackColourKey();

// The colour key: the top-left pixel of the first fighter's sheet, TORVIK.BMP,
// which marks every transparent pixel; FallbackColourKey when that file cannot
// be read as a 16-bit picture. *found (when given) says which.
uint16_t LoadColourKey(bool* found = nullptr);

// Binds count sprites of w x h to screen (null for sprites that are never
// drawn) and cuts sprite j from cell (j mod perRow, j div perRow) of the sheet
// file, keyed by key. The sheet is read once for all its cells. Answers the
// number of sprites cut, or -1 when the file cannot be read (the sprites stay
// empty: they draw and carve nothing).
int32_t CutSheet(RleSprite* sprites, int32_t count, int32_t w, int32_t h, int32_t perRow,
                 const char* name, uint16_t key, Screen* screen);
