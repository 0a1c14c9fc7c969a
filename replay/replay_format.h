// The replay file's layout (docs/replay-format.md describes it for other
// programs): the header, where each frame's control bytes and each rules
// digest lie, and the little-endian field helpers the writer and reader share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/world_timing.h"

// File layout, all fields little-endian, no padding:
//   header, replayHeaderSize bytes:
//     0  magic "KVREPLAY"                  8 bytes
//     8  format version                    uint16
//    10  pixel layout, 555 or 565          uint16
//    12  art digest (art_digest.h)         uint64
//    20  frame count, or replayUnfinished  uint32
//   then for frames 1, 2, ... N: the first player's control byte, the second
//   player's; after every frame whose number is a multiple of
//   replayDigestEvery, the rules digest (DigestRules) of the world after that
//   frame, uint64; then the final rules digest after frame N, uint64.
inline constexpr uint8_t replayMagic[8] = {'K', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'};
inline constexpr uint16_t replayFormatVersion = 1;
inline constexpr int32_t replayHeaderSize = 24;
inline constexpr size_t replayVersionOffset = 8;
inline constexpr size_t replayLayoutOffset = 10;
inline constexpr size_t replayArtOffset = 12;
inline constexpr size_t replayFrameCountOffset = 20;
inline constexpr int32_t replayDigestEvery = rulesDigestInterval;
// The frame count of a file still being written, or left behind by a game
// that stopped without finishing it: its frames are read up to where the file
// ends.
inline constexpr uint32_t replayUnfinished = 0xFFFFFFFF;
inline constexpr uint32_t replayMostFrames = replayUnfinished - 1;

inline constexpr uint16_t pixelLayout555 = 555;
inline constexpr uint16_t pixelLayout565 = 565;

// The pixel layout of this build.
inline constexpr uint16_t BuildPixelLayout() {
#if KIVORO_PIXEL_565
    return pixelLayout565;
#else
    return pixelLayout555;
#endif
}

// "5-5-5" or "5-6-5"; null for any other value.
const char* PixelLayoutName(uint16_t layout);

struct ReplayHeader {
    uint16_t formatVersion = replayFormatVersion;
    uint16_t pixelLayout = BuildPixelLayout();
    uint64_t artDigest = 0;
    uint32_t frameCount = replayUnfinished;
};

void EncodeReplayHeader(const ReplayHeader& header, uint8_t* out);  // replayHeaderSize bytes
// Fills header from replayHeaderSize bytes; checks nothing.
ReplayHeader DecodeReplayHeader(const uint8_t* in);

// True when the rules digest follows frame number frame (1, 2, ...).
inline constexpr bool ReplayDigestFollows(uint64_t frame) {
    return frame > 0 && frame % replayDigestEvery == 0;
}

// The size in bytes of a finished replay of frameCount frames.
inline constexpr uint64_t ReplayFileSize(uint64_t frameCount) {
    return replayHeaderSize + 2 * frameCount + 8 * (frameCount / replayDigestEvery) + 8;
}

inline void PutLittle16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}
inline void PutLittle32(uint8_t* out, uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        out[k] = static_cast<uint8_t>(value >> (8 * k));
    }
}
inline void PutLittle64(uint8_t* out, uint64_t value) {
    for (int k = 0; k < 8; ++k) {
        out[k] = static_cast<uint8_t>(value >> (8 * k));
    }
}
inline uint16_t GetLittle16(const uint8_t* in) {
    return static_cast<uint16_t>(in[0] | in[1] << 8);
}
inline uint32_t GetLittle32(const uint8_t* in) {
    uint32_t value = 0;
    for (int k = 3; k >= 0; --k) {
        value = value << 8 | in[k];
    }
    return value;
}
inline uint64_t GetLittle64(const uint8_t* in) {
    uint64_t value = 0;
    for (int k = 7; k >= 0; --k) {
        value = value << 8 | in[k];
    }
    return value;
}
