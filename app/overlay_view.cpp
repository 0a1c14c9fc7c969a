// The covers of a stopped world and the volume note. Screen layout: the views
// cover rows 0..398, the panel rows 400..599 with its texts at the left of
// each half; the note goes to the panel's bottom right, which the panel
// leaves free, and a corner text (a replay's label) to its top right.
#include "app/overlay_view.h"

#include <algorithm>
#include <cstring>

#include "app/game_view.h"
#include "app/painter.h"
#include "engine/display/glyph_cache.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "engine/display/text_font.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "settings/settings_file.h"

namespace {

struct OverlayResources {
    Surface stoppedPicture;  // the frame the world stopped on, dimmed
    bool pictureReady = false;
    ControlsHelp help{};
    // Where the settings file is, as the help says.
    char settingsLine[settingsPathSize + 32] = {};
};

OverlayResources overlay;

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

void DrawCentredLine(Surface& surface, const char* line) {
    const int32_t width = TextWidth(LargeFont(), line);
    const int32_t left = (pictureWidth - width) / 2;
    constexpr int32_t middle = pictureHeight / 2;
    DrawBox(surface, left - 20, middle - 26, left + width + 20, middle + 26);
    surface.DrawText(line, left, middle - largeTextHeight / 2, textWhite, LargeFont());
}

void DrawHelp(Surface& surface) {
    // Column starts of the table; the gamepad column takes the rest.
    constexpr int32_t columns[controlsHelpColumns] = {40, 240, 400, 560};
    constexpr int32_t lineHeight = 22;
    constexpr int32_t top = 40;
    DrawBox(surface, 20, top - 20, pictureWidth - 20, top + 370);
    surface.DrawText("Controls", columns[0], top, textWhite, LargeFont());
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
    surface.DrawText(overlay.settingsLine, columns[0], y + lineHeight / 2, textWhite);
    surface.DrawText("F1 to close, P to continue, Esc to quit", columns[0], y + lineHeight * 2,
                     textGrey);
}

}  // namespace

void PrepareOverlays(const KeyBindings& bindings) {
    BuildControlsHelp(bindings, overlay.help);
    char path[settingsPathSize];
    if (SettingsFilePath(path, sizeof path)) {
        std::snprintf(overlay.settingsLine, sizeof overlay.settingsLine, "Settings: %s", path);
    }
    OpenPainterFonts();
    overlay.pictureReady = screen.pixelFormat != nullptr &&
                           overlay.stoppedPicture.Create(&screen, SurfaceKindClientMemory,
                                                         pictureWidth, pictureHeight) == 0;
}

void SetOverlayKeys(const KeyBindings& bindings) {
    BuildControlsHelp(bindings, overlay.help);
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
    DimRows(overlay.stoppedPicture, 0, viewRows);
}

void DrawHeldPicture() {
    Surface* back = screen.backSurface;
    if (back == nullptr || !overlay.pictureReady || back->width != pictureWidth ||
        back->height != pictureHeight || back->Lock() != 0) {
        return;
    }
    CopyPicture(overlay.stoppedPicture, *back);
    back->Unlock();
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

void DrawQuestionFrame(const PlayState& state, const char* question) {
    PlayState asking = state;
    asking.helpShown = false;
    DrawStoppedFrame(asking, question);
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
