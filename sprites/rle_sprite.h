// RleSprite: a 16-bit picture whose colour-key pixels are run-length encoded
// away, cut from one cell of a sheet bitmap. Encoded once at set-up; drawn into
// the Screen's back surface (rle_sprite_draw.cpp) or stamped into the terrain.
#pragma once

#include <cstddef>
#include <cstdint>

class Screen;
class BitmapImage;

// Encoded format: `height` rows, top first, back to back, no header, no padding.
// Each row starts with a word H:
//   H = 0       the whole row is transparent; nothing follows.
//   H = 1       literal row: exactly `width` pixel words follow (every pixel drawn).
//   H = n >= 2  n - 1 segments follow, left to right. A segment is a skip word S
//               (transparent pixels since the previous segment's end, or the row's
//               left edge), a length word L (opaque pixels) and the L pixels.
// Whatever follows the last segment up to the row's end is transparent.

// The encoding mode of the loads: keyed drops the colour-key pixels as above;
// any other mode stores every row literally (H = 1).
inline constexpr int32_t EncodingLiteral = 0;
inline constexpr int32_t EncodingKeyed = 1;

class RleSprite {
public:
    RleSprite() = default;
    RleSprite(const RleSprite&) = delete;
    RleSprite& operator=(const RleSprite&) = delete;
    virtual ~RleSprite();

    uint16_t* rleData = nullptr;  // owned; null until LoadCell succeeds
    int32_t width = 0;
    int32_t height = 0;
    Screen* screen = nullptr;  // not owned; its back surface and clip are drawn into
    // Whole transparent rows (H = 0, one word each) above the first row with a
    // drawn pixel and below the last, found by the encoder: the draws start
    // and stop past them. A blast's disc fills few of its cell's rows.
    int32_t blankTop = 0;
    int32_t blankBottom = 0;

    void Bind(Screen* screen, int32_t width, int32_t height);

    // Cuts cell (column, row) of the sheet file and encodes it: keyed when mode
    // is EncodingKeyed, literal (every row H = 1) otherwise. 1 on success, 0 on
    // failure.
    int LoadCell(const char* fileName, int32_t column, int32_t row, int32_t mode,
                 uint16_t colourKey);
    // The same from a sheet already loaded (16-bit pixels).
    int LoadCellFromImage(const BitmapImage& sheet, int32_t column, int32_t row, int32_t mode,
                          uint16_t colourKey);
    // Encodes a block of pixels the bound width and height, top row first, rows
    // `stride` pixels apart (stride >= width): the one encoder the loads above
    // and sprites made in code all go through. 1 on success, 0 (rleData left as
    // it was) without pixels, for a stride narrower than the sprite or when
    // memory is short.
    int LoadFromPixels(const uint16_t* pixels, int32_t stride, int32_t mode, uint16_t colourKey);

    // Words the keyed encoding of a cell takes; rows are sheetWidth pixels apart.
    int32_t EncodedLength(const uint16_t* cellTopLeft, int32_t sheetWidth,
                          uint16_t colourKey) const;
    // The header word H of one row under keyed encoding.
    int32_t CountRowSegments(const uint16_t* rowStart, uint16_t colourKey) const;

    // Drawing into the bound Screen's locked back surface, clipped to its inclusive
    // clip rectangle; (x, y) is the screen position of the sprite's top-left pixel.
    void Draw(int32_t x, int32_t y) const;
    void DrawMirrored(int32_t x, int32_t y) const;
    // Unclipped variants for callers that know the sprite lies inside the surface;
    // they answer the number of rows processed.
    int32_t DrawUnclipped(int32_t x, int32_t y) const;
    int32_t DrawMirroredUnclipped(int32_t x, int32_t y) const;
};

// Consecutive pixels from p equal to key (CountKeyPixels) or not equal to it
// (CountOpaquePixels), at most limit; p[limit] is never read.
int32_t CountKeyPixels(const uint16_t* p, int32_t limit, uint16_t key);
int32_t CountOpaquePixels(const uint16_t* p, int32_t limit, uint16_t key);

// dst[k] = src[n - 1 - k] for k = 0 .. n - 1.
void CopyReversed(uint16_t* dst, const uint16_t* src, int32_t n);
