// WriteAppIcons: the fighter's frame cut to its drawn pixels, scaled by
// nearest pixel to fill most of a rounded tile, written with cairo as PNG and,
// for the window, as a 32-bit bitmap.
#include "app_icon.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <vector>

#include "rules/art_layout.h"

namespace {

struct Bounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;  // inclusive
    int32_t bottom = -1;
};

// The drawn (non-key) pixels of the sheet's first cell.
Bounds DrawnBounds(const RasterImage& sheet, int32_t cellSize) {
    Bounds bounds{cellSize, cellSize, -1, -1};
    for (int32_t y = 0; y < cellSize && y < sheet.Height(); ++y) {
        for (int32_t x = 0; x < cellSize && x < sheet.Width(); ++x) {
            if (!sheet.IsKey(x, y)) {
                bounds.left = std::min(bounds.left, x);
                bounds.top = std::min(bounds.top, y);
                bounds.right = std::max(bounds.right, x);
                bounds.bottom = std::max(bounds.bottom, y);
            }
        }
    }
    return bounds;
}

void RoundedTile(cairo_t* cr, double size) {
    const double radius = size * 0.18;
    const double inset = size * 0.03;
    const double far = size - inset;
    cairo_new_sub_path(cr);
    cairo_arc(cr, far - radius, inset + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, far - radius, far - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, inset + radius, far - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, inset + radius, inset + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
    // The game's night sky with a hint of its dirt at the bottom.
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, size);
    cairo_pattern_add_color_stop_rgb(fill, 0.0, 0.10, 0.11, 0.17);
    cairo_pattern_add_color_stop_rgb(fill, 0.75, 0.13, 0.12, 0.16);
    cairo_pattern_add_color_stop_rgb(fill, 1.0, 0.42, 0.27, 0.14);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
}

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// The icon as a bottom-up 32-bit BMP with a version 4 header, whose bit
// fields name the alpha channel, so SDL_LoadBMP keeps the rounded corners
// see-through. Cairo keeps colours multiplied by alpha; a bitmap does not.
bool WriteBitmap(cairo_surface_t* surface, const std::string& path) {
    const int32_t size = cairo_image_surface_get_width(surface);
    const unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    constexpr uint32_t fileHeader = 14;
    constexpr uint32_t infoHeader = 108;
    const uint32_t imageBytes = static_cast<uint32_t>(size) * size * 4;
    std::vector<uint8_t> bytes{'B', 'M'};
    PutLittleEndian(bytes, fileHeader + infoHeader + imageBytes, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, fileHeader + infoHeader, 4);
    PutLittleEndian(bytes, infoHeader, 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(size), 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(size), 4);
    PutLittleEndian(bytes, 1, 2);   // planes
    PutLittleEndian(bytes, 32, 2);  // bits per pixel
    PutLittleEndian(bytes, 3, 4);   // bit fields
    PutLittleEndian(bytes, imageBytes, 4);
    PutLittleEndian(bytes, 2835, 4);  // 72 dots per inch, both ways
    PutLittleEndian(bytes, 2835, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 0, 4);
    for (const uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) {
        PutLittleEndian(bytes, mask, 4);
    }
    PutLittleEndian(bytes, 0x73524742u, 4);  // sRGB
    bytes.resize(bytes.size() + 48, 0);      // end points and gamma, unused with sRGB
    for (int32_t y = size - 1; y >= 0; --y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(pixels + static_cast<ptrdiff_t>(y) * stride);
        for (int32_t x = 0; x < size; ++x) {
            const uint32_t alpha = row[x] >> 24;
            uint32_t value = 0;
            if (alpha != 0) {
                value = alpha << 24;
                for (int shift = 0; shift < 24; shift += 8) {
                    const uint32_t channel = (row[x] >> shift) & 0xFFu;
                    value |= std::min<uint32_t>(255, (channel * 255 + alpha / 2) / alpha) << shift;
                }
            }
            PutLittleEndian(bytes, value, 4);
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool WriteIcon(const RasterImage& sheet, const Bounds& drawn, int32_t size, const std::string& path,
               const std::string& bitmapPath) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    RoundedTile(cr, size);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    // The fighter fills 80 % of the tile's height (or width), centred.
    const int32_t artWidth = drawn.right - drawn.left + 1;
    const int32_t artHeight = drawn.bottom - drawn.top + 1;
    const double scale = 0.8 * size / std::max(artWidth, artHeight);
    const auto placedWidth = static_cast<int32_t>(artWidth * scale);
    const auto placedHeight = static_cast<int32_t>(artHeight * scale);
    const int32_t left = (size - placedWidth) / 2;
    const int32_t top = (size - placedHeight) / 2;
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int32_t y = 0; y < placedHeight; ++y) {
        const int32_t sourceY = drawn.top + static_cast<int32_t>(y / scale);
        auto* row = reinterpret_cast<uint32_t*>(pixels + static_cast<ptrdiff_t>(top + y) * stride);
        for (int32_t x = 0; x < placedWidth; ++x) {
            const int32_t sourceX = drawn.left + static_cast<int32_t>(x / scale);
            if (sourceX > drawn.right || sourceY > drawn.bottom || sheet.IsKey(sourceX, sourceY)) {
                continue;
            }
            const Rgb c = sheet.At(sourceX, sourceY);
            row[left + x] = 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
        }
    }
    cairo_surface_mark_dirty(surface);
    bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    if (written && !bitmapPath.empty()) {
        written = WriteBitmap(surface, bitmapPath);
    }
    cairo_surface_destroy(surface);
    return written;
}

}  // namespace

std::string AppIconFileName(int32_t size) {
    return "kivoro_icon_" + std::to_string(size) + ".png";
}

bool WriteAppIcons(const RasterImage& firstFighterSheet, int32_t cellSize,
                   const std::string& folder) {
    const Bounds drawn = DrawnBounds(firstFighterSheet, cellSize);
    if (drawn.right < drawn.left) {
        return false;
    }
    for (int32_t size : appIconSizes) {
        const std::string bitmap = size == appIconBitmapSide ? folder + "/" + appIconFile : "";
        if (!WriteIcon(firstFighterSheet, drawn, size, folder + "/" + AppIconFileName(size),
                       bitmap)) {
            return false;
        }
    }
    return true;
}
