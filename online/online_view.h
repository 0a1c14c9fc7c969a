// What an online match shows besides the world: the screens before the
// match, the link's corner of the status panel, and the box a match ends
// with. Texts are Windows-1252, as the panel's are.
#pragma once

#include <cstdint>
#include <vector>

#include "net/net_stats.h"
#include "online/screen_line.h"

// A black screen with the lines one under another in the middle: headings
// and addresses large, the rest in the panel's size.
void DrawLinesScreen(const std::vector<ScreenLine>& lines);

// The panel's online corner (x from 600, rows 400 to 474, clear of every
// panel text and of the volume note below): "Round trip N ms" once measured
// ("under 1 ms" on one machine) and, while the link is stalled, "Waiting for
// NAME". Cleared first, so it may be drawn over a kept frame.
void DrawLinkCorner(const NetStats& stats, const char* waitingFor);

// The lines in a framed box in the middle of the picture there is, the first
// large: the message a match ended with, the kills, how to go on.
void DrawMessageBox(const std::vector<ScreenLine>& lines);
