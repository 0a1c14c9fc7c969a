// Reading RIFF/WAVE images: the chunk walk that finds the format and data
// chunks, and the decoding of the format chunk into what the mixer can play.
#pragma once

#include <cstddef>
#include <cstdint>

// Walks the chunks of a RIFF "WAVE" image of `imageSize` bytes. Each out is
// optional and is cleared first. The first "fmt " chunk and the first non-empty
// "data" chunk count, in either order; other chunks are skipped, odd lengths are
// followed by one pad byte. The walk never reads outside the image: it stops at
// the image's end (or the RIFF length, whichever comes first), and a "data" chunk
// running past the end is cut there. False when the image is not RIFF/WAVE, or
// its "fmt " chunk is shorter than 14 bytes or runs past the image's end.
// Reaching the end without both chunks is not a failure.
bool ParseWave(const uint8_t* image, size_t imageSize, const uint8_t** format, uint32_t* formatSize,
               const uint8_t** data, uint32_t* size);

// The fields of a format chunk, read little-endian.
struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t averageBytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    bool isFloat = false;  // 32-bit IEEE float samples rather than integers
};

constexpr uint16_t WaveFormatPcm = 1;
constexpr uint16_t WaveFormatFloat = 3;
constexpr uint16_t WaveFormatExtensible = 0xFFFE;

// Decodes a format chunk body and checks that the mixer can play it: integer PCM
// of 8, 16, 24 or 32 bits or 32-bit float (plain or in the extensible form), 1 to
// 8 channels, 100 to 200000 frames per second, and a block alignment that is one
// whole frame. False otherwise, or when the body has no bits-per-sample field.
bool DecodeWaveFormat(const uint8_t* body, uint32_t bodySize, WaveFormat* out);
