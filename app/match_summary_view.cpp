// The summary's box: title, rule line, table, hint.
#include "app/match_summary_view.h"

#include <cstdio>

#include "app/overlay_view.h"
#include "app/painter.h"
#include "engine/display/surface.h"
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
constexpr int32_t statRows = 6;
static_assert(tableTop + (statRows + 1) * rowHeight < summaryFreeRowY);

}  // namespace

void DrawMatchSummary(Surface& back, const MatchSummary& summary, const char* hint) {
    DrawHeldPicture();
    // The panel under the box is the frozen match's: dimmed with the views.
    if (back.Lock() == 0) {
        DimRows(back, panelTop, pictureHeight - panelTop);
        back.Unlock();
    }
    DrawBox(back, boxLeft, boxTop, boxRight, boxBottom);
    char line[96];
    DescribeWinner(summary, line, sizeof line);
    DrawCentred(back, line, pictureWidth / 2, boxTop + 22, textYellow, HeadingFont());
    char rule[48];
    DescribeRule(summary.rule, rule, sizeof rule);
    const int32_t seconds = summary.frames / worldFramesPerSecond;
    std::snprintf(line, sizeof line, "%s \x97 played %d:%02d", rule, seconds / 60, seconds % 60);
    DrawCentred(back, line, pictureWidth / 2, boxTop + 74, textGrey);

    for (int32_t player = 0; player < 2; ++player) {
        DrawCentred(back, summary.names[player], columnX[player], tableTop, textYellow);
    }
    const char* labels[statRows] = {"Kills",       "Deaths",   "Blasts released",
                                    "Hits landed", "Accuracy", "Damage dealt"};
    for (int32_t row = 0; row < statRows; ++row) {
        const int32_t y = tableTop + (row + 1) * rowHeight;
        back.DrawText(labels[row], labelX, y, textGrey);
        for (int32_t player = 0; player < 2; ++player) {
            const PlayerStats& stats = summary.stats[player];
            const int32_t values[statRows] = {summary.kills[player],   summary.deaths[player],
                                              stats.blastsReleased,    stats.hitsLanded,
                                              stats.AccuracyPercent(), stats.damageDealt};
            std::snprintf(line, sizeof line, row == 4 ? "%d %%" : "%d", values[row]);
            DrawCentred(back, line, columnX[player], y, textWhite);
        }
    }
    DrawCentred(back, hint, pictureWidth / 2, boxBottom - 32, textGrey);
}
