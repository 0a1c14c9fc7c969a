// Reading the generated files independently of the game's loaders: the raw 24-bit
// pixels of a bitmap and the chunks of a wave file, so the tests can check the
// bytes themselves as well as what the game makes of them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace assettest {

inline std::string AssetPath(const std::string& name) {
    return std::string(KIVORO_ASSET_DIR) + "/" + name;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    uint8_t buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(file);
    return bytes;
}

inline uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? uint32_t(b[at] | b[at + 1] << 8) : 0;
}

inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? U16(b, at) | U16(b, at + 2) << 16 : 0;
}

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
    int Luma() const { return (r * 30 + g * 59 + b * 11) / 100; }
};

inline constexpr Rgb magenta{255, 0, 255};

// A 24-bit bitmap decoded straight from its bytes (rows padded to four bytes,
// bottom row first), as top-down pixels. valid is false for anything else.
struct Picture {
    bool valid = false;
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Rgb At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool IsKey(int x, int y) const { return At(x, y) == magenta; }

    static Picture Read(const std::string& name) {
        Picture p;
        std::vector<uint8_t> b = ReadBytes(AssetPath(name));
        if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || U16(b, 28) != 24 || U32(b, 30) != 0) {
            return p;
        }
        p.width = int(int32_t(U32(b, 18)));
        p.height = int(int32_t(U32(b, 22)));
        size_t rowBytes = (size_t(p.width) * 3 + 3) & ~size_t(3);
        size_t offset = U32(b, 10);
        if (p.width <= 0 || p.height <= 0 || offset + rowBytes * p.height > b.size()) {
            return p;
        }
        p.pixels.resize(size_t(p.width) * p.height);
        for (int y = 0; y < p.height; ++y) {
            const uint8_t* row = &b[offset + rowBytes * (p.height - 1 - y)];
            for (int x = 0; x < p.width; ++x) {
                p.pixels[size_t(y) * p.width + x] = {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            }
        }
        p.valid = true;
        return p;
    }
};

// 16-bit values as the game's loader makes them, in both layouts.
inline uint16_t To555(Rgb c) {
    return uint16_t((c.b >> 3) | (c.g >> 3) << 5 | (c.r >> 3) << 10);
}
inline uint16_t To565(Rgb c) {
    return uint16_t((c.b >> 3) | (c.g >> 3) << 6 | (c.r >> 3) << 11);
}

// A wave file's format fields and 16-bit samples.
struct Wave {
    bool valid = false;
    uint32_t formatTag = 0;
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t bits = 0;
    std::vector<int16_t> samples;

    double Seconds() const { return rate != 0 ? double(samples.size()) / rate : 0; }

    static Wave Read(const std::string& name) {
        Wave w;
        std::vector<uint8_t> b = ReadBytes(AssetPath(name));
        if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
            std::string(b.begin() + 8, b.begin() + 12) != "WAVE" || U32(b, 4) + 8 != b.size()) {
            return w;
        }
        bool haveFormat = false;
        bool haveData = false;
        for (size_t at = 12; at + 8 <= b.size();) {
            std::string id(b.begin() + at, b.begin() + at + 4);
            size_t length = U32(b, at + 4);
            size_t body = at + 8;
            if (body + length > b.size()) {
                return w;
            }
            if (id == "fmt " && length >= 16) {
                w.formatTag = U16(b, body);
                w.channels = U16(b, body + 2);
                w.rate = U32(b, body + 4);
                w.bits = U16(b, body + 14);
                haveFormat = true;
            } else if (id == "data") {
                for (size_t i = 0; i + 1 < length; i += 2) {
                    w.samples.push_back(int16_t(U16(b, body + i)));
                }
                haveData = true;
            }
            at = body + length + (length & 1);
        }
        w.valid = haveFormat && haveData;
        return w;
    }
};

}  // namespace assettest
