// The online match's screens and panel corner, drawn with the panel's font on
// the back surface. Screen layout: the views fill rows 0..398; the panel's
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
constexpr int32_t textHeight = 16;

}  // namespace

void DrawLineScreen(const char* text) {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    back->FillRect(0, 0, pictureWidth, pictureHeight, 0);
    back->DrawText(text, (pictureWidth - TextWidth(nullptr, text)) / 2,
                   (pictureHeight - textHeight) / 2, textWhite);
}

void DrawLinkCorner(uint32_t roundTripMs, const char* waitingFor) {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    back->FillRect(cornerLeft, cornerTop, pictureWidth, cornerBottom, 0);
    char line[64];
    if (roundTripMs > 0) {
        std::snprintf(line, sizeof line, "Round trip %u ms", roundTripMs);
        back->DrawText(line, cornerLeft, cornerTop, textWhite);
    }
    if (waitingFor != nullptr) {
        std::snprintf(line, sizeof line, "Waiting for %s", waitingFor);
        back->DrawText(line, cornerLeft, cornerTop + 50, textYellow);
    }
}

void DrawMessageBox(const char* text) {
    Surface* back = screen.backSurface;
    if (back == nullptr || screen.pixelFormat == nullptr) {
        return;
    }
    const int32_t width = TextWidth(nullptr, text);
    const int32_t left = (pictureWidth - width) / 2;
    constexpr int32_t middle = pictureHeight / 2;
    DrawBox(*back, left - 20, middle - 24, left + width + 20, middle + 24);
    back->DrawText(text, left, middle - textHeight / 2, textWhite);
}
