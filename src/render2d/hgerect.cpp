#include "render2d/hgerect.h"

#include <cmath>

void hgeRect::Encapsulate(float x, float y) {
    if (clean) {
        x1 = x2 = x;
        y1 = y2 = y;
        clean = false;
        return;
    }
    // Strict tests: a point on an edge leaves the rectangle as it is.
    if (x < x1) {
        x1 = x;
    }
    if (x > x2) {
        x2 = x;
    }
    if (y < y1) {
        y1 = y;
    }
    if (y > y2) {
        y2 = y;
    }
}

bool hgeRect::TestPoint(float x, float y) const {
    return x >= x1 && x < x2 && y >= y1 && y < y2;
}

bool hgeRect::Intersect(const hgeRect* rect) const {
    // Twice the distance between the centres against the sum of the sizes, per axis, so
    // rectangles that only share an edge do not overlap.
    const float dx = ((x1 + x2) - rect->x1) - rect->x2;
    const float sx = ((x2 - x1) + rect->x2) - rect->x1;
    const float dy = ((y1 + y2) - rect->y1) - rect->y2;
    const float sy = ((y2 - y1) + rect->y2) - rect->y1;
    return std::fabs(static_cast<double>(dx)) < sx && std::fabs(static_cast<double>(dy)) < sy;
}
