#include "world/blood_gore.h"

#include "render2d/hgesprite.h"
#include "world/assets.h"
#include "world/ground.h"

BloodSplat* bloodSplats[kBloodCount];
int bloodCursor = 0;
float bloodTimer = kMarkThrottle;
GorePiece* gorePieces[kGoreCount];
int goreCursor = 0;
float goreTimer = kMarkThrottle;

namespace {

// The throttle counts requests, not time: after a placement the next request only adds its
// delta, so at any ordinary frame rate every second request leaves a mark.
bool ThrottlePasses(float& timer, const float& delta) {
    if (timer >= kMarkThrottle) {
        timer = 0.0f;
        return true;
    }
    timer = static_cast<float>(static_cast<double>(timer) + delta);
    return false;
}

}  // namespace

void BloodSplat::Render() {
    DrawOnGround(sprite, x, y, angle);
}

void GorePiece::Activate(GoreKind pieceKind, const float& atX, const float& atY,
                         const float& facing) {
    kind = pieceKind;
    Place(atX, atY, facing);
}

void GorePiece::Render() {
    if (kind == kArm) {
        DrawOnGround(armImage, x, y, angle);
    } else if (kind == kHead) {
        DrawOnGround(headImage, x, y, angle);
    }
}

void InitBlood() {
    bloodCursor = 0;
    bloodTimer = kMarkThrottle;
    for (BloodSplat*& splat : bloodSplats) {
        splat = new BloodSplat(bloodSprite);
    }
}

void InitGore() {
    goreCursor = 0;
    goreTimer = kMarkThrottle;
    for (GorePiece*& piece : gorePieces) {
        piece = new GorePiece(armSprite, headSprite);
    }
}

void SpawnBlood(const float& x, const float& y, const float& angle, const float& delta) {
    if (ThrottlePasses(bloodTimer, delta)) {
        bloodSplats[NextRingSlot<kBloodCount>(bloodCursor)]->Activate(x, y, angle);
    }
}

void SpawnGore(GoreKind kind, const float& x, const float& y, const float& angle,
               const float& delta) {
    if (ThrottlePasses(goreTimer, delta)) {
        gorePieces[NextRingSlot<kGoreCount>(goreCursor)]->Activate(kind, x, y, angle);
    }
}
