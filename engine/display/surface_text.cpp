// Surface text: plain, opaque and outlined text and their formatted forms,
// each acquiring the device context for the call unless the caller holds it.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/display/device_context.h"
#include "engine/display/surface.h"

namespace {

// A formatted text must fit this buffer, terminator included; longer ones are cut.
constexpr size_t printBufferSize = 2048;

// The formatted texts' one formatting step; a missing format gives an empty text.
__attribute__((format(printf, 2, 0))) void FormatText(char (&text)[printBufferSize],
                                                      const char* format, va_list values) {
    text[0] = '\0';
    if (format != nullptr) {
        std::vsnprintf(text, sizeof text, format, values);
    }
}

}  // namespace

int Surface::DrawTextWith(const char* text, int32_t x, int32_t y, uint32_t colour,
                          const uint32_t* background, const uint32_t* outline, TextFont font) {
    const bool acquired = (flags & DcHeld) == 0 && AcquireDC() == 0;
    if (text != nullptr && dc != nullptr && (flags & DcHeld) != 0) {
        dc->backMode = background != nullptr ? BackgroundOpaque : BackgroundTransparent;
        if (background != nullptr) {
            dc->backColour = *background;
        }
        if (font != nullptr) {
            dc->font = font;
        }
        const auto length = static_cast<int32_t>(strnlen(text, printBufferSize));
        if (outline != nullptr) {
            dc->textColour = *outline;
            dc->TextOut(x - 1, y, text, length);
            dc->TextOut(x + 1, y, text, length);
            dc->TextOut(x, y - 1, text, length);
            dc->TextOut(x, y + 1, text, length);
        }
        dc->textColour = colour;
        dc->TextOut(x, y, text, length);
    }
    if (acquired) {
        ReleaseDC();
    }
    return 0;
}

int Surface::DrawText(const char* text, int32_t x, int32_t y, uint32_t colour, TextFont font) {
    return DrawTextWith(text, x, y, colour, nullptr, nullptr, font);
}

int Surface::DrawTextOpaque(const char* text, int32_t x, int32_t y, uint32_t colour,
                            uint32_t backgroundColour, TextFont font) {
    return DrawTextWith(text, x, y, colour, &backgroundColour, nullptr, font);
}

int Surface::DrawTextOutlined(const char* text, int32_t x, int32_t y, uint32_t colour,
                              uint32_t outlineColour, TextFont font) {
    return DrawTextWith(text, x, y, colour, nullptr, &outlineColour, font);
}

int Surface::PrintText(int32_t x, int32_t y, uint32_t colour, TextFont font, const char* format,
                       ...) {
    char text[printBufferSize];
    va_list values;
    va_start(values, format);
    FormatText(text, format, values);
    va_end(values);
    return DrawText(text, x, y, colour, font);
}

int Surface::PrintTextOpaque(int32_t x, int32_t y, uint32_t colour, uint32_t backgroundColour,
                             TextFont font, const char* format, ...) {
    char text[printBufferSize];
    va_list values;
    va_start(values, format);
    FormatText(text, format, values);
    va_end(values);
    return DrawTextOpaque(text, x, y, colour, backgroundColour, font);
}

int Surface::PrintTextOutlined(int32_t x, int32_t y, uint32_t colour, uint32_t outlineColour,
                               TextFont font, const char* format, ...) {
    char text[printBufferSize];
    va_list values;
    va_start(values, format);
    FormatText(text, format, values);
    va_end(values);
    return DrawTextOutlined(text, x, y, colour, outlineColour, font);
}
