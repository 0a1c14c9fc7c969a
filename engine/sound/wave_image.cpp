// RIFF/WAVE chunk walk and format chunk decoding. Every length read from the
// image is checked against the bytes actually held before it is used, and
// positions are kept in 64 bits so that lengths near 2^32 cannot wrap them.
#include "engine/sound/wave_image.h"

#include <cstring>

#include "engine/little_endian.h"

namespace {

bool HasId(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

}  // namespace

bool ParseWave(const uint8_t* image, size_t imageSize, const uint8_t** format, uint32_t* formatSize,
               const uint8_t** data, uint32_t* size) {
    if (format)
        *format = nullptr;
    if (formatSize)
        *formatSize = 0;
    if (data)
        *data = nullptr;
    if (size)
        *size = 0;
    if (image == nullptr || imageSize < 12 || !HasId(image, "RIFF") || !HasId(image + 8, "WAVE")) {
        return false;
    }
    const uint64_t total = imageSize;
    const uint64_t riffEnd = 8ull + GetLittle32(image + 4);
    const uint64_t walkEnd = riffEnd < total ? riffEnd : total;

    bool formatFound = false;
    bool dataFound = false;
    // The first chunk header is read whatever the RIFF length says; the walk ends
    // when the next header would not fit in the image.
    uint64_t pos = 12;
    while (pos + 8 <= total) {
        const uint8_t* header = image + pos;
        const uint32_t length = GetLittle32(header + 4);
        const uint64_t body = pos + 8;
        const uint64_t available = total - body;
        if (HasId(header, "fmt ") && format && !formatFound) {
            if (length < 14 || length > available) {
                return false;
            }
            *format = image + body;
            if (formatSize)
                *formatSize = length;
            formatFound = true;
            if ((!data || dataFound) && (!size || *size != 0)) {
                return true;
            }
        } else if (HasId(header, "data") && ((data && !dataFound) || (size && *size == 0))) {
            // A data chunk cut short by the end of the image keeps what is there.
            const uint32_t kept = length < available ? length : static_cast<uint32_t>(available);
            if (data)
                *data = image + body;
            if (size)
                *size = kept;
            dataFound = true;
            if ((!format || formatFound) && (!size || kept != 0)) {
                return true;
            }
        }
        pos = body + length + (length & 1u);
        if (pos >= walkEnd) {
            break;
        }
    }
    return true;
}

bool DecodeWaveFormat(const uint8_t* body, uint32_t bodySize, WaveFormat* out) {
    if (body == nullptr || bodySize < 16 || out == nullptr) {
        return false;
    }
    WaveFormat f;
    f.formatTag = GetLittle16(body);
    f.channels = GetLittle16(body + 2);
    f.samplesPerSecond = GetLittle32(body + 4);
    f.averageBytesPerSecond = GetLittle32(body + 8);
    f.blockAlign = GetLittle16(body + 12);
    f.bitsPerSample = GetLittle16(body + 14);

    uint16_t kind = f.formatTag;
    if (kind == WaveFormatExtensible) {
        // cbSize, valid bits, channel mask, then the sub-format GUID whose first
        // two bytes carry the plain format tag.
        if (bodySize < 40 || GetLittle16(body + 16) < 22) {
            return false;
        }
        kind = GetLittle16(body + 24);
    }
    if (kind == WaveFormatFloat) {
        if (f.bitsPerSample != 32) {
            return false;
        }
        f.isFloat = true;
    } else if (kind == WaveFormatPcm) {
        if (f.bitsPerSample != 8 && f.bitsPerSample != 16 && f.bitsPerSample != 24 &&
            f.bitsPerSample != 32) {
            return false;
        }
    } else {
        return false;
    }
    if (f.channels < 1 || f.channels > 8) {
        return false;
    }
    if (f.samplesPerSecond < 100 || f.samplesPerSecond > 200000) {
        return false;
    }
    if (f.blockAlign == 0 || f.blockAlign != f.channels * (f.bitsPerSample / 8)) {
        return false;
    }
    *out = f;
    return true;
}
