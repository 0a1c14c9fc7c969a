// KiBlast: one projectile of the blast pool. It flies straight at a fixed
// velocity and reports when it has left the field.
#pragma once

#include <cstdint>

class KiBlast {
public:
    KiBlast() = default;
    KiBlast(const KiBlast&) = default;
    KiBlast& operator=(const KiBlast&) = default;
    virtual ~KiBlast() = default;

    uint8_t power = 0;    // ki released, 1..100; a hit deals power / 2
    uint8_t shooter = 0;  // 0: first fighter's blast, 1: second fighter's
    uint8_t size = 0;     // 0..3, picks reach, drawn image and carved shape
    int32_t vx = 0;       // pixels per frame
    int32_t vy = 0;
    int32_t x = 0;  // centre, field pixels
    int32_t y = 0;

    // Places the blast at (x, y) flying along angle (degrees) at speed pixels per
    // frame, each component truncated toward zero. power and shooter are the
    // releasing fighter's to set.
    void Launch(int32_t x, int32_t y, int32_t angle, int32_t speed, uint8_t size);
    // One frame of flight. True when the blast has left the field: beyond the
    // right or bottom edge at once, beyond the left or top edge only once the
    // whole 54 x 54 image is off it (centre below -52).
    bool Advance();
};
