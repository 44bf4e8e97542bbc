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
// The corners it is drawn at are worked out then too, since they never change after.
struct GroundPlacement {
    // The image is the one the mark is drawn with; with none it keeps no corners.
    void Place(float atX, float atY, float facing, hgeSprite* image) {
        x = atX;
        y = atY;
        angle = facing;
        active = true;
        if (image != nullptr) {
            // The images are shared by every mark of a kind, so the hot spot is set each time.
            // It is (25, 25) whatever the image's size: the small arm, head and item images
            // hang up and left of the position they mark.
            image->SetHotSpot(25.0f, 25.0f);
            image->GetCornersEx(x, y, angle, 1.0f, 0.0f, corners);
        }
    }
    bool IsActive() const { return active; }
    // The box of its corners with a unit to spare on each side, so that rounding never lets a
    // pixel the mark touches fall outside. A turned mark reaches past its image's box: this is
    // the box of the turned corners.
    hgeRect Bounds() const {
        hgeRect box;
        for (const auto& corner : corners) {
            box.Encapsulate(corner[0], corner[1]);
        }
        return {box.x1 - 1.0f, box.y1 - 1.0f, box.x2 + 1.0f, box.y2 + 1.0f};
    }

    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
    bool active = false;
    float corners[4][2] = {};
};

// Draws the mark with the image it was placed with, turned as it was placed, into `batch`: the
// ground's marks come in thousands.
inline void DrawOnGround(hgeSprite* image, const GroundPlacement& mark, QuadRun& batch) {
    const float(&c)[4][2] = mark.corners;
    image->Render4V(batch, c[0][0], c[0][1], c[1][0], c[1][1], c[2][0], c[2][1], c[3][0], c[3][1]);
}
