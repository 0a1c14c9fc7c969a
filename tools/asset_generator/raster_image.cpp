// RasterImage: coverage cut from cairo surfaces, key avoidance and the bitmap
// file encoding.
#include "raster_image.h"

#include <cstdio>

bool MapsToKey(Rgb c) {
    return (c.r >> 3) == (colourKey.r >> 3) && (c.g >> 3) == (colourKey.g >> 3) &&
           (c.b >> 3) == (colourKey.b >> 3);
}

Rgb AvoidKey(Rgb c) {
    if (MapsToKey(c)) {
        c.g = 8;  // one 5-bit step above the key's green; invisible to the eye
    }
    return c;
}

RasterImage::RasterImage(int32_t width, int32_t height, Rgb fill)
    : width(width), height(height), pixels(size_t(width) * size_t(height), fill) {}

void RasterImage::Set(int32_t x, int32_t y, Rgb c) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    pixels[size_t(y) * width + x] = AvoidKey(c);
}

void RasterImage::MakeTransparent(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    pixels[size_t(y) * width + x] = colourKey;
}

namespace {

uint8_t Unpremultiply(uint32_t channel, uint32_t alpha) {
    uint32_t v = (channel * 255 + alpha / 2) / alpha;
    return uint8_t(v > 255 ? 255 : v);
}

}  // namespace

void RasterImage::CutFrom(cairo_surface_t* surface, int32_t left, int32_t top) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    int w = cairo_image_surface_get_width(surface);
    int h = cairo_image_surface_get_height(surface);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24;
            if (a < 128) {
                MakeTransparent(left + x, top + y);
                continue;
            }
            Rgb c{Unpremultiply((p >> 16) & 0xFF, a), Unpremultiply((p >> 8) & 0xFF, a),
                  Unpremultiply(p & 0xFF, a)};
            Set(left + x, top + y, c);
        }
    }
}

void RasterImage::CopyOpaqueFrom(cairo_surface_t* surface, int32_t left, int32_t top) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    int w = cairo_image_surface_get_width(surface);
    int h = cairo_image_surface_get_height(surface);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t p = row[x];
            Set(left + x, top + y, Rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        }
    }
}

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> RasterImage::EncodeBmp() const {
    const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = rowBytes * uint32_t(height);
    const uint32_t headerSize = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(headerSize + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, headerSize + imageSize);
    Put32(out, 0);  // two reserved words
    Put32(out, headerSize);
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));  // positive: bottom row first
    Put16(out, 1);                 // planes
    Put16(out, 24);
    Put32(out, 0);  // no compression
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x) {
            Rgb c = At(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (uint32_t pad = uint32_t(width) * 3; pad < rowBytes; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

bool RasterImage::WriteBmp(const std::string& path) const {
    return WriteFileBytes(path, EncodeBmp());
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    bool closed = std::fclose(file) == 0;
    return written == bytes.size() && closed;
}
