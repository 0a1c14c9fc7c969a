// The covers of a stopped world and the volume note. Screen layout: the views
// cover rows 0..398, the panel rows 400..599 with its texts at the left of
// each half; the note goes to the panel's bottom right, which the panel
// leaves free, and a corner text (a replay's label) to its top right.
#include "app/overlay_view.h"

#include <algorithm>
#include <cstring>

#include "app/game_view.h"
#include "engine/display/glyph_cache.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "engine/display/text_font.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"

namespace {

constexpr int32_t largeTextHeight = 24;
constexpr uint32_t textWhite = 0xFFFFFF;
constexpr uint32_t textGrey = 0xB0B0B0;

struct OverlayResources {
    Surface stoppedPicture;  // the frame the world stopped on, dimmed
    bool pictureReady = false;
    // Open for the whole run (the panel's default font is null when absent).
    TextFont largeFont = nullptr;
    ControlsHelp help{};
};

OverlayResources overlay;

// Halves every channel of rows first..first+count of a 16-bit surface: the
// pixel shifted right once, with the bit that crossed into the next channel
// below masked off.
void DimRows(Surface& surface, const PixelFormat& format, int32_t first, int32_t count) {
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

// Copies every row of one 800 x 600 surface to the other; both must be
// locked (or in memory of their own).
void CopyPicture(const Surface& from, Surface& to) {
    const size_t rowBytes = static_cast<size_t>(pictureWidth) * sizeof(uint16_t);
    for (int32_t y = 0; y < pictureHeight; ++y) {
        std::memcpy(
            static_cast<uint8_t*>(to.pixels) + static_cast<ptrdiff_t>(y) * to.pitch,
            static_cast<const uint8_t*>(from.pixels) + static_cast<ptrdiff_t>(y) * from.pitch,
            rowBytes);
    }
}

int32_t TextWidth(TextFont font, const char* text) {
    int32_t width = 0;
    MeasureTextRun(font, text, &width, nullptr);
    return width;
}

// A black box with a grey frame, right and bottom exclusive.
void DrawBox(Surface& surface, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const uint32_t frame = screen.pixelFormat->Pack(0x80, 0x80, 0x80);
    surface.FillRect(left, top, right, bottom, frame);
    surface.FillRect(left + 1, top + 1, right - 1, bottom - 1, 0);
}

void DrawCentredLine(Surface& surface, const char* line) {
    const int32_t width = TextWidth(overlay.largeFont, line);
    const int32_t left = (pictureWidth - width) / 2;
    constexpr int32_t middle = pictureHeight / 2;
    DrawBox(surface, left - 20, middle - 26, left + width + 20, middle + 26);
    surface.DrawText(line, left, middle - largeTextHeight / 2, textWhite, overlay.largeFont);
}

void DrawHelp(Surface& surface) {
    // Column starts of the table; the gamepad column takes the rest.
    constexpr int32_t columns[controlsHelpColumns] = {40, 240, 400, 560};
    constexpr int32_t lineHeight = 22;
    constexpr int32_t top = 40;
    DrawBox(surface, 20, top - 20, pictureWidth - 20, top + 300);
    surface.DrawText("Controls", columns[0], top, textWhite, overlay.largeFont);
    int32_t y = top + 40;
    for (int32_t row = 0; row <= controlsHelpRows; ++row) {
        for (int32_t column = 0; column < controlsHelpColumns; ++column) {
            surface.DrawText(overlay.help.cells[row][column], columns[column], y,
                             row == 0 ? textGrey : textWhite);
        }
        y += lineHeight;
    }
    y += lineHeight / 2;
    for (const char* note : overlay.help.notes) {
        surface.DrawText(note, columns[0], y, textWhite);
        y += lineHeight;
    }
    surface.DrawText("F1 to close, P to continue, Esc to quit", columns[0], y + lineHeight / 2,
                     textGrey);
}

}  // namespace

void PrepareOverlays(const KeyBindings& bindings) {
    BuildControlsHelp(bindings, overlay.help);
    if (overlay.largeFont == nullptr) {
        overlay.largeFont = OpenTextFont(nullptr, largeTextHeight);
        // A face the glyph cache cannot hold would be drawn through the font
        // renderer, which allocates at every text: the panel's font instead.
        if (overlay.largeFont != nullptr && GlyphsFor(overlay.largeFont) == nullptr) {
            CloseTextFont(overlay.largeFont);
            overlay.largeFont = nullptr;
        }
    }
    overlay.pictureReady = screen.pixelFormat != nullptr &&
                           overlay.stoppedPicture.Create(&screen, SurfaceKindClientMemory,
                                                         pictureWidth, pictureHeight) == 0;
}

const ControlsHelp& OverlayControlsHelp() {
    return overlay.help;
}

void HoldStoppedPicture() {
    Surface* back = screen.backSurface;
    if (back == nullptr || !overlay.pictureReady || back->width != pictureWidth ||
        back->height != pictureHeight) {
        return;
    }
    // The panel again, without the note a frame may have had on it.
    back->FillRect(0, panelTop, pictureWidth, pictureHeight, 0);
    DrawStatusPanel();
    if (back->Lock() != 0) {
        return;
    }
    CopyPicture(*back, overlay.stoppedPicture);
    back->Unlock();
    DimRows(overlay.stoppedPicture, *screen.pixelFormat, 0, viewRows);
}

void DrawStoppedFrame(const PlayState& state) {
    DrawStoppedFrame(state, pausedLine);
}

void DrawStoppedFrame(const PlayState& state, const char* line) {
    Surface* back = screen.backSurface;
    if (back == nullptr || !overlay.pictureReady || back->width != pictureWidth ||
        back->height != pictureHeight) {
        return;
    }
    if (back->Lock() == 0) {
        CopyPicture(overlay.stoppedPicture, *back);
        back->Unlock();
    }
    if (state.helpShown) {
        DrawHelp(*back);
    } else {
        DrawCentredLine(*back, line);
    }
    DrawVolumeNote(state);
}

void DrawVolumeNote(const PlayState& state) {
    Surface* back = screen.backSurface;
    if (back == nullptr || !state.NoteShown()) {
        return;
    }
    const int32_t width = TextWidth(nullptr, state.note);
    back->DrawTextOpaque(state.note, pictureWidth - 25 - width, 550, textWhite, 0);
}

void DrawPanelCornerText(const char* text) {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    const int32_t width = TextWidth(nullptr, text);
    back->DrawTextOpaque(text, pictureWidth - 25 - width, panelTextTop, textWhite, 0);
}
