// KiBlast flight: launch velocity and one step of movement.
#include "rules/ki_blast.h"

#include <cmath>

#include "rules/angle.h"
#include "rules/world_state.h"

void KiBlast::Launch(int32_t x, int32_t y, int32_t angle, int32_t speed, uint8_t size) {
    const double radians = DegreesToRadians(angle);
    this->x = x;
    this->y = y;
    vx = static_cast<int32_t>(std::cos(radians) * speed);
    vy = static_cast<int32_t>(speed * std::sin(radians));
    this->size = size;
}

bool KiBlast::Advance() {
    x += vx;
    y += vy;
    return x < -52 || y < -52 || x > terrain.width * cellPixels || y > terrain.height * cellPixels;
}
