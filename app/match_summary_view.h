// How a decided match's summary is drawn over its held picture: a box with the
// winner, the rule and the time played, and a table of both players' kills,
// deaths, blasts released, hits landed, accuracy and damage dealt. The end
// screen draws its choices in the box's free rows; a replay its end line.
#pragma once

#include <cstdint>

#include "app/match_summary.h"

class Surface;

// The row of the box left free under the table, for what the screen offers.
inline constexpr int32_t summaryFreeRowY = 430;

// The held picture (overlay_view.h) with its panel dimmed too, then the box
// and the summary over it, with hint (Windows-1252 text) in grey along the
// box's bottom.
void DrawMatchSummary(Surface& back, const MatchSummary& summary, const char* hint);
