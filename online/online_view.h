// What an online match shows besides the world: the waiting and connecting
// screen, the link's corner of the status panel, and the message a match
// ends with. Texts are Windows-1252, as the panel's are.
#pragma once

#include <cstdint>

// A black screen with one line in the middle.
void DrawLineScreen(const char* text);

// The panel's online corner (x from 600, rows 400 to 474, clear of every
// panel text and of the volume note below): "Round trip N ms" once measured
// and, while the link is stalled, "Waiting for NAME". Cleared first, so it
// may be drawn over a kept frame.
void DrawLinkCorner(uint32_t roundTripMs, const char* waitingFor);

// The message in a framed box in the middle of the picture there is.
void DrawMessageBox(const char* text);
