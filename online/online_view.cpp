// The online match's screens, box and panel corner, drawn on the back
// surface. Screen layout: the views fill rows 0..398; the panel's
// texts sit at x 25..~140 and 424..~540 on rows 400, 450 and 500, the frame
// rate at (400, 550) and the volume note at the bottom right, so the corner
// from x 600 on rows 400..474 is free.
#include "online/online_view.h"

#include <cstdio>

#include "app/painter.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "engine/display/text_font.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"

namespace {

constexpr int32_t cornerLeft = panelCornerLeft;
constexpr int32_t cornerTop = panelTextTop;
constexpr int32_t cornerBottom = 475;
constexpr int32_t lineGap = 8;

bool Large(const ScreenLine& line) {
    return line.kind == LineHeading || line.kind == LineAddress;
}

TextFont LineFont(const ScreenLine& line) {
    return Large(line) ? LargeFont() : nullptr;
}

int32_t LineHeight(const ScreenLine& line) {
    return (Large(line) ? largeTextHeight : smallTextHeight) + lineGap;
}

uint32_t LineColour(const ScreenLine& line) {
    switch (line.kind) {
        case LineAddress:
            return textYellow;
        case LinePlain:
            return textGrey;
        default:
            return textWhite;
    }
}

}  // namespace

void DrawLinesScreen(const std::vector<ScreenLine>& lines) {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    back->FillRect(0, 0, pictureWidth, pictureHeight, 0);
    int32_t height = 0;
    for (const ScreenLine& line : lines) {
        height += LineHeight(line);
    }
    int32_t y = (pictureHeight - height) / 2;
    for (const ScreenLine& line : lines) {
        DrawCentred(*back, line.text.c_str(), pictureWidth / 2, y, LineColour(line),
                    LineFont(line));
        y += LineHeight(line);
    }
}

void DrawLinkCorner(const NetStats& stats, const char* waitingFor) {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    back->FillRect(cornerLeft, cornerTop, pictureWidth, cornerBottom, 0);
    char line[64];
    if (stats.roundTripKnown) {
        if (stats.roundTripMs == 0) {
            std::snprintf(line, sizeof line, "Round trip under 1 ms");
        } else {
            std::snprintf(line, sizeof line, "Round trip %u ms", stats.roundTripMs);
        }
        back->DrawText(line, cornerLeft, cornerTop, textWhite);
    }
    if (waitingFor != nullptr) {
        std::snprintf(line, sizeof line, "Waiting for %s", waitingFor);
        back->DrawText(line, cornerLeft, cornerTop + 50, textYellow);
    }
}

void DrawMessageBox(const std::vector<ScreenLine>& lines) {
    Surface* back = screen.backSurface;
    if (back == nullptr || screen.pixelFormat == nullptr || lines.empty()) {
        return;
    }
    int32_t width = 0;
    int32_t height = 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        const int32_t lineWidth = TextWidth(k == 0 ? LargeFont() : nullptr, lines[k].text.c_str());
        width = lineWidth > width ? lineWidth : width;
        height += k == 0 ? largeTextHeight + lineGap : smallTextHeight + lineGap;
    }
    const int32_t left = (pictureWidth - width) / 2;
    int32_t y = (pictureHeight - height) / 2;
    DrawBox(*back, left - 24, y - 18, left + width + 24, y + height + 12);
    for (size_t k = 0; k < lines.size(); ++k) {
        DrawCentred(*back, lines[k].text.c_str(), pictureWidth / 2, y,
                    k == 0 ? textWhite : textGrey, k == 0 ? LargeFont() : nullptr);
        y += k == 0 ? largeTextHeight + lineGap : smallTextHeight + lineGap;
    }
}
