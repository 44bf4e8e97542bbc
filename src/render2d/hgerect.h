// An axis-aligned rectangle in screen pixels.
#pragma once

class hgeRect {
  public:
    hgeRect() = default;
    hgeRect(float x1, float y1, float x2, float y2)
        : x1(x1), y1(y1), x2(x2), y2(y2), clean(false) {}

    // Makes the rectangle hold no point; the next Encapsulate sets all four edges.
    void Clear() { clean = true; }
    void Encapsulate(float x, float y);
    // Left and top edges belong to the rectangle, right and bottom ones do not.
    bool TestPoint(float x, float y) const;
    bool Intersect(const hgeRect* rect) const;

    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;
    bool clean = true;
};
