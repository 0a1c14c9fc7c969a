// The controls page: the table, choosing a key, listening for the new one,
// binding it or saying why not, and the pads.
#include "modes/controls_page.h"

#include <cstdio>
#include <cstring>

#include "app/app_loop.h"
#include "app/local_input.h"
#include "app/menu_input.h"
#include "app/painter.h"
#include "app/saved_settings.h"
#include "engine/display/surface.h"
#include "engine/input/scan_codes.h"
#include "platform/screen_layout.h"
#include "settings/binding_check.h"
#include "settings/controls_help.h"
#include "settings/setting_rows.h"

namespace {

constexpr const char* rowLabels[controlCount] = {"Up", "Down", "Left", "Right", "Turn", "Charge"};
constexpr const char* playerNames[playerCount] = {"First player", "Second player"};

// The table's columns and rows.
constexpr int32_t labelX = 110;
constexpr int32_t keyX[playerCount] = {300, 470};
constexpr int32_t padX = 580;
constexpr int32_t cellHalfWidth = 72;
constexpr int32_t tableRow = 26;
constexpr int32_t backGap = 12;
constexpr int32_t padLinesGap = 48;

}  // namespace

void ControlsPage::Open(AppLoop& app) {
    bindings = app.Settings().Values().keys;
    state = StateChoosing;
    row = 0;
    player = 0;
    note[0] = '\0';
    DescribePads(app.Players());
}

const char* ControlsPage::Hint() const {
    return state == StateListening ? "Press the new key, Esc cancels"
                                   : "Arrows choose a key, Enter changes it, Esc goes back";
}

ControlsPage::Result ControlsPage::Act(uint32_t actions, const uint8_t* keys, MenuInput& input,
                                       AppLoop& app) {
    DescribePads(app.Players());
    switch (state) {
        case StateChoosing:
            return Choose(actions, keys);
        case StateListening:
            Listen(actions, keys, app);
            break;
        case StateSettling:
            // The captured key's own key-down (an arrow, Enter, Escape) may
            // still come as a menu action: nothing counts until it is let go.
            if (heldKey != 0 && keys != nullptr && keys[heldKey] != 0) {
                quietFrames = 0;
            } else if (++quietFrames >= settleFrames) {
                input.Reset(&app.Players().Pads());
                state = StateChoosing;
            }
            break;
    }
    return Stay;
}

ControlsPage::Result ControlsPage::Choose(uint32_t actions, const uint8_t* keys) {
    if ((actions & MenuBack) != 0) {
        return Back;
    }
    if ((actions & MenuUp) != 0) {
        row = (row + backRow) % (backRow + 1);
    }
    if ((actions & MenuDown) != 0) {
        row = (row + 1) % (backRow + 1);
    }
    if ((actions & (MenuLeft | MenuRight)) != 0 && row != backRow) {
        player = 1 - player;
    }
    if ((actions & MenuChoose) == 0) {
        return Stay;
    }
    if (row == backRow) {
        return Back;
    }
    // Keys already down (the Enter that chose) are not the new key until
    // they are let go and pressed again.
    if (keys != nullptr) {
        std::memcpy(previous, keys, sizeof previous);
    } else {
        std::memset(previous, 0xFF, sizeof previous);
    }
    state = StateListening;
    std::snprintf(note, sizeof note, "Press the new key for %s %s.", PlayerPossessive(player),
                  ControlName(boundControls[row]));
    return Stay;
}

void ControlsPage::Listen(uint32_t actions, const uint8_t* keys, AppLoop& app) {
    if (keys == nullptr) {
        // Without the focus the keys are another program's: what was held
        // when it comes back must be pressed again.
        std::memset(previous, 0xFF, sizeof previous);
        return;
    }
    uint8_t pressed = 0;
    for (int32_t code = 1; code < 256; ++code) {
        if (pressed == 0 && keys[code] != 0 && previous[code] == 0) {
            pressed = static_cast<uint8_t>(code);
        }
        previous[code] = keys[code];
    }
    if (pressed == ScanCodeEscape || (pressed == 0 && (actions & MenuBack) != 0)) {
        note[0] = '\0';
    } else if (pressed != 0) {
        Bind(pressed, app);
    } else {
        return;
    }
    heldKey = pressed;
    quietFrames = 0;
    state = StateSettling;
}

void ControlsPage::Bind(uint8_t key, AppLoop& app) {
    const BindingCheck check = CheckBinding(bindings, player, row, key);
    const char* control = ControlName(boundControls[row]);
    switch (check.verdict) {
        case BindingFree:
            bindings.keys[player][row] = key;
            app.SetKeys(bindings);
            std::snprintf(note, sizeof note, "%s is now %s %s key.", KeyNameForFile(key),
                          PlayerPossessive(player), control);
            break;
        case BindingUnchanged:
            std::snprintf(note, sizeof note, "%s stays %s %s key.", KeyNameForFile(key),
                          PlayerPossessive(player), control);
            break;
        default:
            DescribeRefusal(check, key, note, sizeof note);
            break;
    }
}

void ControlsPage::DescribePads(LocalInput& players) {
    const GamePadSet& pads = players.Pads();
    int32_t connected = 0;
    for (const PadState& pad : pads.pads) {
        connected += pad.serial != 0 ? 1 : 0;
    }
    const PlayerInput& input = players.Players();
    int32_t spare = connected;
    for (int32_t p = 0; p < playerCount; ++p) {
        const bool withPad = input.padSlot[p] != PlayerInput::noPad;
        spare -= withPad ? 1 : 0;
        std::snprintf(padLines[p], sizeof padLines[p], "%s: %s", playerNames[p],
                      withPad ? "keys and a pad" : "keys only");
    }
    if (connected == 0) {
        std::snprintf(padLines[2], sizeof padLines[2],
                      "No pad connected: one plugged in joins a player without one.");
    } else if (spare > 0) {
        std::snprintf(padLines[2], sizeof padLines[2],
                      "Pads connected: %d. Start on a spare pad takes a player without one.",
                      connected);
    } else {
        std::snprintf(padLines[2], sizeof padLines[2], "Pads connected: %d.", connected);
    }
}

void ControlsPage::Draw(Surface& back, int32_t top) const {
    back.DrawText("Control", labelX, top, textGrey);
    for (int32_t p = 0; p < playerCount; ++p) {
        DrawCentred(back, playerNames[p], keyX[p], top, textGrey);
    }
    back.DrawText("Pad", padX, top, textGrey);
    for (int32_t r = 0; r < controlCount; ++r) {
        const int32_t y = top + (r + 1) * tableRow;
        back.DrawText(rowLabels[r], labelX, y, textWhite);
        for (int32_t p = 0; p < playerCount; ++p) {
            const bool chosen = r == row && p == player;
            const bool listening = chosen && state == StateListening;
            if (chosen) {
                FillBox(back, keyX[p] - cellHalfWidth, y - 3, keyX[p] + cellHalfWidth,
                        y + smallTextHeight + 4, 0x30, 0x60, 0xC0);
            }
            DrawCentred(back, listening ? "press a key" : KeyNameForFile(bindings.keys[p][r]),
                        keyX[p], y, listening ? textYellow : textWhite);
        }
        back.DrawText(ControlPadButtons(r), padX, y, textGrey);
    }
    const int32_t backY = top + (controlCount + 1) * tableRow + backGap;
    const int32_t backWidth = TextWidth(LargeFont(), "Back");
    const int32_t backLeft = pictureWidth / 2 - backWidth / 2;
    if (row == backRow) {
        FillBox(back, backLeft - 16, backY - 4, backLeft + backWidth + 16,
                backY + largeTextHeight + 6, 0x30, 0x60, 0xC0);
    }
    back.DrawText("Back", backLeft, backY, row == backRow ? textWhite : textGrey, LargeFont());
    const int32_t padY = backY + padLinesGap;
    DrawCentred(back, padLines[0], pictureWidth / 4 + 20, padY, textWhite);
    DrawCentred(back, padLines[1], 3 * pictureWidth / 4 - 20, padY, textWhite);
    DrawCentred(back, padLines[2], pictureWidth / 2, padY + tableRow, textGrey);
}
