// Builds RIFF/WAVE images in memory for the sound tests: chunks in any order,
// with any lengths, so both well-formed and damaged images can be made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wavetest {

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// A format chunk body: tag, channels, rate, average bytes, block alignment, bits.
inline std::vector<uint8_t> FormatBody(uint16_t tag, uint16_t channels, uint32_t rate,
                                       uint16_t bits, int32_t blockAlign = -1) {
    std::vector<uint8_t> body;
    const uint16_t align =
        blockAlign >= 0 ? static_cast<uint16_t>(blockAlign) : channels * (bits / 8);
    PutU16(body, tag);
    PutU16(body, channels);
    PutU32(body, rate);
    PutU32(body, rate * align);
    PutU16(body, align);
    PutU16(body, bits);
    return body;
}

// Appends a chunk; `declared` overrides the length field (the body is written
// as given), and an odd body gets its pad byte.
inline void PutChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body,
                     int64_t declared = -1) {
    out.insert(out.end(), id, id + 4);
    PutU32(out,
           declared >= 0 ? static_cast<uint32_t>(declared) : static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) {
        out.push_back(0);
    }
}

// Wraps chunks into a RIFF image; the RIFF length covers them unless overridden.
inline std::vector<uint8_t> Riff(const std::vector<uint8_t>& chunks, int64_t riffLength = -1) {
    std::vector<uint8_t> image{'R', 'I', 'F', 'F'};
    PutU32(image, riffLength >= 0 ? static_cast<uint32_t>(riffLength)
                                  : static_cast<uint32_t>(4 + chunks.size()));
    image.insert(image.end(), {'W', 'A', 'V', 'E'});
    image.insert(image.end(), chunks.begin(), chunks.end());
    return image;
}

// Stereo 16-bit samples: `frames` frames of (left, right).
inline std::vector<uint8_t> StereoFrames(uint32_t frames, int16_t left, int16_t right) {
    std::vector<uint8_t> data;
    for (uint32_t i = 0; i < frames; ++i) {
        PutU16(data, static_cast<uint16_t>(left));
        PutU16(data, static_cast<uint16_t>(right));
    }
    return data;
}

// A plain 16-bit stereo wave of constant frames at `rate`.
inline std::vector<uint8_t> ConstantWave(uint32_t frames, int16_t left, int16_t right,
                                         uint32_t rate = 44100) {
    std::vector<uint8_t> chunks;
    PutChunk(chunks, "fmt ", FormatBody(1, 2, rate, 16));
    PutChunk(chunks, "data", StereoFrames(frames, left, right));
    return Riff(chunks);
}

}  // namespace wavetest
