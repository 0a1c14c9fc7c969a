// Looking at the world: copies of what the views and the panel show, read
// from the rules' state and never written back.
#include "ai/world_sight.h"

#include "rules/world_state.h"

namespace {

// A blast's picture is 54 pixels wide about its centre: it shows in a view
// while its centre is less than this far outside it.
constexpr int32_t blastPictureReach = blastCentre + 1;

SeenFighter See(const Fighter& f) {
    SeenFighter seen;
    seen.x = f.x;
    seen.y = f.y;
    seen.state = f.state;
    seen.health = f.health;
    seen.ki = f.ki;
    seen.deaths = f.deaths;
    seen.aim = f.aim;
    seen.facing = f.facing;
    seen.cameraX = f.cameraX;
    seen.cameraY = f.cameraY;
    return seen;
}

bool InSquare(const SeenFighter& f, int32_t px, int32_t py, int32_t margin) {
    return px >= f.cameraX - margin && px < f.cameraX + viewSize + margin &&
           py >= f.cameraY - margin && py < f.cameraY + viewSize + margin;
}

}  // namespace

bool InView(const Sight& sight, int32_t px, int32_t py, int32_t margin) {
    return InSquare(sight.fighters[0], px, py, margin) ||
           InSquare(sight.fighters[1], px, py, margin);
}

void LookAtWorld(int32_t viewer, Sight* sight) {
    sight->fighters[0] = See(fighters[0]);
    sight->fighters[1] = See(fighters[1]);
    sight->blastCount = 0;
    // Two passes: the other fighter's blasts, then the viewer's own.
    const uint8_t firstShooter = viewer == 0 ? 1 : 0;
    for (int32_t pass = 0; pass < 2; ++pass) {
        const uint8_t shooter = pass == 0 ? firstShooter : 1 - firstShooter;
        for (int32_t i = 0; i < blastCount && sight->blastCount < sightBlastCapacity; ++i) {
            const KiBlast& blast = blasts[i];
            if (blast.shooter != shooter || !InView(*sight, blast.x, blast.y, blastPictureReach)) {
                continue;
            }
            SeenBlast& seen = sight->blasts[sight->blastCount++];
            seen.x = blast.x;
            seen.y = blast.y;
            seen.vx = blast.vx;
            seen.vy = blast.vy;
            seen.shooter = blast.shooter;
            seen.size = blast.size;
        }
    }
}

bool SeenOpen(const Sight& sight, int32_t px, int32_t py) {
    if (px < 0 || py < 0 || terrain.cells == nullptr || px >= terrain.width * cellPixels ||
        py >= terrain.height * cellPixels || !InView(sight, px, py, 0)) {
        return false;
    }
    return terrain.cells[(py / cellPixels) * terrain.width + px / cellPixels] == 0;
}

bool GuessOpen(const Sight& sight, int32_t px, int32_t py) {
    if (px < 0 || py < 0 || terrain.cells == nullptr || px >= terrain.width * cellPixels ||
        py >= terrain.height * cellPixels) {
        return false;
    }
    if (!InView(sight, px, py, 0)) {
        return true;
    }
    return terrain.cells[(py / cellPixels) * terrain.width + px / cellPixels] == 0;
}
