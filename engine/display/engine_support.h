// The engine's small free functions: rectangles, files, memory fills, text
// fonts and measuring, program resources and the engine's version text.
#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/display/rect.h"
#include "engine/display/text_font.h"

class DeviceContext;

// Stores the four edges and returns the rectangle.
Rect& MakeRect(Rect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Stores (x, y, x + width, y + height) and returns the rectangle; an edge
// beyond the int32 range stops at the range's end.
Rect& MakeRectFromSize(Rect& rect, int32_t x, int32_t y, int32_t width, int32_t height);

// The length of an open file in bytes; the file position is left where it was.
// 0 for a null file or one that cannot be measured.
int32_t FileLength(FILE* file);
// True when path names a regular file that can be opened for reading.
bool FileExists(const char* path);
// Creates a new empty file with a unique name beginning "NDX" in the system's
// temporary folder and returns its path, allocated with new[] (the caller
// deletes it with delete[]), or null when that fails.
char* MakeTempFileName();

// Writes count copies of value (nothing for count <= 0). The destination need
// not be aligned beyond its element type.
void Fill16(uint16_t* destination, uint16_t value, int32_t count);
void Fill32(uint32_t* destination, uint32_t value, int32_t count);

// Width and height in pixels of the whole text in the context's font (a null
// context measures with the default font); 0 x 0 when there is no font or no
// text. Either output may be null.
void MeasureText(DeviceContext* dc, const char* text, int32_t* width, int32_t* height);
// Opens the installed face that best matches faceName (a sans face when none
// matches) with lines `height` pixels high; a negative height counts the same
// as its magnitude, 0 takes the default height. Glyphs are drawn without
// antialiasing. The width is not used: the face's own proportions are kept.
// Null when no font can be found. Give it back with DeleteGdiObject.
TextFont CreateTextFont(const char* faceName, int32_t width, int32_t height);
// Closes a font made by CreateTextFont; null is ignored.
void DeleteGdiObject(TextFont font);

// A copy of the program resource `number` of the given type, allocated with
// new[] and owned by the caller, and its size. The Linux program links no
// resources, so the answer is always (null, 0); callers keep their fallback.
uint8_t* LoadResourceCopy(uint16_t number, const char* type, uint32_t* size);

// "2.1 beta".
const char* EngineVersion();
