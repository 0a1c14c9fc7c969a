// Degrees to radians as the game turns them: every angle of the rules (aim,
// travel, launch) goes through this one factor.
#pragma once

#include <cstdint>

// 3.141593 / 180, a little more than pi / 180. The rules' velocities depend on it:
// with truncation toward zero, 8 * sin(90 degrees) comes out as 7.99999... and
// flight straight down is 7 pixels per frame while flight to the right is 8.
inline constexpr double radiansPerDegree = 0.017453294444444444;

inline double DegreesToRadians(int32_t degrees) {
    return degrees * radiansPerDegree;
}
