// Remembered shots walked forward against the forecast.
#include "ai/shot_memory.h"

#include "rules/world_state.h"

void ShotMemory::Remember(int32_t frame, int32_t x, int32_t y, int32_t aim, int32_t reach) {
    if (count == capacity) {
        // The oldest is the first to be forgotten.
        for (int32_t i = 1; i < capacity; ++i) {
            shots[i - 1] = shots[i];
        }
        --count;
    }
    shots[count++] = Flying{frame, x, y, BlastStep(aim), reach};
}

int32_t ShotMemory::OnCourse(int32_t frame, const FighterForecast& target) {
    const int32_t right = terrain.width * cellPixels;
    const int32_t bottom = terrain.height * cellPixels;
    int32_t onCourse = 0;
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        const Flying& shot = shots[i];
        const int32_t age = frame - shot.frame;
        int32_t bx = shot.x + age * shot.v.x;
        int32_t by = shot.y + age * shot.v.y;
        if (age < 0 || age > forecastFrames || bx < -52 || by < -52 || bx > right || by > bottom) {
            continue;
        }
        shots[kept++] = shot;
        const int32_t reachSquared = shot.reach * shot.reach;
        for (int32_t k = 0; k <= forecastFrames; ++k) {
            if (bx < -52 || by < -52 || bx > right || by > bottom) {
                break;
            }
            const int32_t ox = target.centre[k].x - bx;
            const int32_t oy = target.centre[k].y - by;
            if (ox * ox + oy * oy < reachSquared) {
                ++onCourse;
                break;
            }
            bx += shot.v.x;
            by += shot.v.y;
        }
    }
    count = kept;
    return onCourse;
}
