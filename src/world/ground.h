// What lies on the ground (blood, gore, pickups): rings of placements and one way of drawing.
#pragma once

#include "render2d/hgesprite.h"

// The slot the next placement fills. Once the cursor has run off the end it is put back to 0 and
// slot 0 is used without advancing, so the placement after that lands in slot 0 again and only
// then does the cursor move on: the ring's wrap-around keeps that double use of slot 0.
template <int Count>
int NextRingSlot(int& cursor) {
    if (cursor < Count) {
        return cursor++;
    }
    cursor = 0;
    return 0;
}

// Where a mark on the ground lies: set when it is placed, left alone until its slot is reused.
struct GroundPlacement {
    void Place(float atX, float atY, float facing) {
        x = atX;
        y = atY;
        angle = facing;
        active = true;
    }
    bool IsActive() const { return active; }

    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
    bool active = false;
};

// The images are shared by every mark of a kind, so the hot spot is set again before each draw.
// It is (25, 25) whatever the image's size: the small arm, head and item images hang up and
// left of the position they mark.
inline void DrawOnGround(hgeSprite* image, float x, float y, float angle) {
    image->SetHotSpot(25.0f, 25.0f);
    image->RenderEx(x, y, angle, 1.0f, 0.0f);
}
