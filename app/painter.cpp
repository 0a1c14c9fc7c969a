// The shared drawing habits.
#include "app/painter.h"

#include "engine/display/glyph_cache.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"

namespace {

// Open for the whole run.
TextFont largeFont = nullptr;
TextFont headingFont = nullptr;

// A face the glyph cache cannot hold would be drawn through the font
// renderer, which allocates at every text: the panel's font instead.
TextFont OpenCached(int32_t height) {
    TextFont font = OpenTextFont(nullptr, height);
    if (font != nullptr && GlyphsFor(font) == nullptr) {
        CloseTextFont(font);
        font = nullptr;
    }
    return font;
}

}  // namespace

void OpenPainterFonts() {
    if (largeFont == nullptr) {
        largeFont = OpenCached(largeTextHeight);
    }
    if (headingFont == nullptr) {
        headingFont = OpenCached(headingTextHeight);
    }
}

TextFont LargeFont() {
    return largeFont;
}

TextFont HeadingFont() {
    return headingFont;
}

int32_t TextWidth(TextFont font, const char* text) {
    int32_t width = 0;
    MeasureTextRun(font, text, &width, nullptr);
    return width;
}

void DrawBox(Surface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (screen.pixelFormat == nullptr) {
        return;
    }
    surface.FillRect(left, top, right, bottom, screen.pixelFormat->Pack(0x80, 0x80, 0x80));
    surface.FillRect(left + 1, top + 1, right - 1, bottom - 1, 0);
}

void FillBox(Surface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
             uint8_t red, uint8_t green, uint8_t blue) {
    if (screen.pixelFormat != nullptr) {
        surface.FillRect(left, top, right, bottom, screen.pixelFormat->Pack(red, green, blue));
    }
}

void DrawCentred(Surface& surface, const char* text, int32_t centreX, int32_t y, uint32_t colour,
                 TextFont font) {
    surface.DrawText(text, centreX - TextWidth(font, text) / 2, y, colour, font);
}

void DimRows(Surface& surface, int32_t first, int32_t count) {
    if (screen.pixelFormat == nullptr || surface.pixels == nullptr) {
        return;
    }
    // Each pixel shifted right once, with the bit that crossed into the next
    // channel below masked off.
    const PixelFormat& format = *screen.pixelFormat;
    const auto half = static_cast<uint16_t>(((format.redMask >> 1) & format.redMask) |
                                            ((format.greenMask >> 1) & format.greenMask) |
                                            ((format.blueMask >> 1) & format.blueMask));
    for (int32_t y = first; y < first + count && y < surface.height; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(surface.pixels) +
                                                static_cast<ptrdiff_t>(y) * surface.pitch);
        for (int32_t x = 0; x < surface.width; ++x) {
            row[x] = static_cast<uint16_t>((row[x] >> 1) & half);
        }
    }
}
