// Sight: what a person at the screen sees of the world in one frame - both
// fighters as the two views and the panel show them, the blasts drawn in
// either view, and the dirt inside the two views. The computer player decides
// from this and from nothing else of the world.
#pragma once

#include <cstdint>

struct SeenFighter {
    int32_t x = 0;  // top-left of the 48 x 48 sprite
    int32_t y = 0;
    int32_t state = 0;
    int32_t health = 0;   // the panel
    int32_t ki = 0;       // the panel
    int32_t deaths = 0;   // the panel, as the other player's kills
    int32_t aim = 0;      // the reticle
    uint8_t facing = 1;   // the sprite's mirroring
    int32_t cameraX = 0;  // the view this fighter's camera shows
    int32_t cameraY = 0;
};

struct SeenBlast {
    int32_t x = 0;  // centre
    int32_t y = 0;
    int32_t vx = 0;  // its flight, as two pictures in a row show it
    int32_t vy = 0;
    uint8_t shooter = 0;  // fighter index (0 or 1) of who released it
    uint8_t size = 0;     // 0..3, the picture's size
};

// More blasts than this in view at once are not told apart.
inline constexpr int32_t sightBlastCapacity = 48;

struct Sight {
    SeenFighter fighters[2];
    SeenBlast blasts[sightBlastCapacity];
    int32_t blastCount = 0;
};

// Fills sight from the world as it stands. When more blasts are in view than
// the sight holds, those released by the fighter other than `viewer` come
// first: they are the ones that can hurt it.
void LookAtWorld(int32_t viewer, Sight* sight);

// True when field pixel (px, py) lies on an empty cell shown in one of the
// two views of the world as it stands. Cells outside both views, and pixels
// outside the field, count as dirt: the player cannot know them open.
bool SeenOpen(const Sight& sight, int32_t px, int32_t py);

// The same for guessing where the other fighter goes: cells outside both views
// count as empty, because its own view moves along with it and would show
// the way; pixels outside the field still count as dirt.
bool GuessOpen(const Sight& sight, int32_t px, int32_t py);

// Whether a point of the field is inside either view (with a margin in pixels).
bool InView(const Sight& sight, int32_t px, int32_t py, int32_t margin);
