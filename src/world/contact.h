// Contact between a point and a body: both offsets strictly under 25 pixels. Bullets against
// zombies, bites and pickups all use this one box, so a point exactly 25 pixels off misses.
#pragma once

constexpr double kContactReach = 25.0;

inline bool Touches(float pointX, float pointY, float bodyX, float bodyY) {
    const double px = pointX;
    const double py = pointY;
    const double bx = bodyX;
    const double by = bodyY;
    return px < bx + kContactReach && px > bx - kContactReach && py < by + kContactReach &&
           py > by - kContactReach;
}
