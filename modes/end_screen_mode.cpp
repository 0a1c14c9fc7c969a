// The end screen: its table, its two choices.
#include "modes/end_screen_mode.h"

#include <cstdio>
#include <cstring>

#include "app/app_loop.h"
#include "app/overlay_view.h"
#include "app/painter.h"
#include "app/play_state.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"
#include "platform/screen_layout.h"
#include "rules/world_timing.h"

namespace {

constexpr int32_t boxLeft = 130;
constexpr int32_t boxRight = pictureWidth - 130;
constexpr int32_t boxTop = 80;
constexpr int32_t boxBottom = 520;
constexpr int32_t labelX = 165;
constexpr int32_t columnX[2] = {440, 585};
constexpr int32_t tableTop = 200;
constexpr int32_t rowHeight = 28;
constexpr int32_t choicesY = 430;
constexpr int32_t choiceX[2] = {pictureWidth / 2 - 90, pictureWidth / 2 + 90};
constexpr const char* choiceNames[2] = {"Rematch", "Menu"};

}  // namespace

void DescribeWinner(const MatchSummary& summary, char* text, int32_t size) {
    const auto room = static_cast<size_t>(size);
    const int32_t winner = summary.outcome.winner;
    if (winner < 0 || winner > 1) {
        std::snprintf(text, room, "A draw");
    } else if (winner == summary.localSide || std::strcmp(summary.names[winner], "You") == 0) {
        std::snprintf(text, room, "You win");
    } else {
        std::snprintf(text, room, "%s wins", summary.names[winner]);
    }
}

EndScreenMode::EndScreenMode(ModeDirectory& directory, const MatchChoice& choice,
                             const MatchSummary& summary)
    : directory(directory), choice(choice), summary(summary) {}

uint32_t EndScreenMode::Comforts() const {
    return CommandMute | CommandVolumeDown | CommandVolumeUp | CommandWindowMode;
}

void EndScreenMode::Enter(AppLoop& app) {
    menuInput.Reset(&app.Players().Pads());
    selected = 0;
    Draw();
}

void EndScreenMode::Message(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    menuInput.Message(message, wParam, lParam);
}

void EndScreenMode::Frame(AppLoop& app, const FrameInput& input) {
    const uint32_t actions = menuInput.Frame(input.active ? &app.Players().Pads() : nullptr);
    if ((actions & MenuBack) != 0) {
        app.SwitchTo(directory.Menu());
        return;
    }
    if ((actions & MenuChoose) != 0) {
        app.SwitchTo(selected == 0 ? directory.Play(choice) : directory.Menu());
        return;
    }
    const int32_t before = selected;
    if ((actions & (MenuLeft | MenuUp)) != 0) {
        selected = 0;
    } else if ((actions & (MenuRight | MenuDown)) != 0) {
        selected = 1;
    }
    if (selected != before || (input.changes & (PlayChangeCover | PlayChangeSound)) != 0) {
        Draw();
        DrawVolumeNote(app.Play());
    }
}

void EndScreenMode::Leave(AppLoop&) {
    soundDevice.PauseOutput(false);
}

void EndScreenMode::Draw() const {
    Surface* back = screen.backSurface;
    if (back == nullptr) {
        return;
    }
    DrawHeldPicture();
    DrawBox(*back, boxLeft, boxTop, boxRight, boxBottom);
    char line[96];
    DescribeWinner(summary, line, sizeof line);
    DrawCentred(*back, line, pictureWidth / 2, boxTop + 22, textYellow, HeadingFont());
    char rule[48];
    DescribeRule(summary.rule, rule, sizeof rule);
    const int32_t seconds = summary.frames / worldFramesPerSecond;
    std::snprintf(line, sizeof line, "%s \x97 played %d:%02d", rule, seconds / 60, seconds % 60);
    DrawCentred(*back, line, pictureWidth / 2, boxTop + 74, textGrey);

    for (int32_t player = 0; player < 2; ++player) {
        DrawCentred(*back, summary.names[player], columnX[player], tableTop, textYellow);
    }
    const char* labels[] = {"Kills",       "Deaths",   "Blasts released",
                            "Hits landed", "Accuracy", "Damage dealt"};
    for (int32_t row = 0; row < 6; ++row) {
        const int32_t y = tableTop + (row + 1) * rowHeight;
        back->DrawText(labels[row], labelX, y, textGrey);
        for (int32_t player = 0; player < 2; ++player) {
            const PlayerStats& stats = summary.stats[player];
            const int32_t values[] = {summary.kills[player],   summary.deaths[player],
                                      stats.blastsReleased,    stats.hitsLanded,
                                      stats.AccuracyPercent(), stats.damageDealt};
            std::snprintf(line, sizeof line, row == 4 ? "%d %%" : "%d", values[row]);
            DrawCentred(*back, line, columnX[player], y, textWhite);
        }
    }
    for (int32_t choice = 0; choice < 2; ++choice) {
        const int32_t width = TextWidth(LargeFont(), choiceNames[choice]);
        const int32_t left = choiceX[choice] - width / 2;
        if (choice == selected) {
            FillBox(*back, left - 14, choicesY - 6, left + width + 14,
                    choicesY + largeTextHeight + 8, 0x30, 0x60, 0xC0);
        }
        back->DrawText(choiceNames[choice], left, choicesY, textWhite, LargeFont());
    }
    DrawCentred(*back, "Arrows choose, Enter confirms, Esc goes to the menu", pictureWidth / 2,
                boxBottom - 32, textGrey);
}
