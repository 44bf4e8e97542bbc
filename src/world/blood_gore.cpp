#include "world/blood_gore.h"

#include "app/resources.h"
#include "hgesprite.h"
#include "world/ground.h"

BloodSplat* bloodSplats[kBloodCount];
int bloodCursor = 0;
float bloodTimer = 0.0002f;
GorePiece* gorePieces[kGoreCount];
int goreCursor = 0;
float goreTimer = 0.0002f;

namespace {

constexpr float kThrottle = 0.0002f;

// The throttle counts requests, not time: after a placement the next request only adds its
// delta, so at any ordinary frame rate every second request leaves a mark.
bool ThrottlePasses(float& timer, const float& delta) {
    if (timer >= kThrottle) {
        timer = 0.0f;
        return true;
    }
    timer = static_cast<float>(static_cast<double>(timer) + delta);
    return false;
}

}  // namespace

BloodSplat::BloodSplat(hgeSprite* sprite) : active(false), sprite(sprite) {}

void BloodSplat::Activate(const float& atX, const float& atY, const float& facing) {
    x = atX;
    y = atY;
    angle = facing;
    active = true;
}

void BloodSplat::Render() {
    DrawOnGround(sprite, x, y, angle);
}

GorePiece::GorePiece(hgeSprite* armImage, hgeSprite* headImage)
    : active(false), kind(kArm), armImage(armImage), headImage(headImage) {}

void GorePiece::Activate(GoreKind pieceKind, const float& atX, const float& atY,
                         const float& facing) {
    x = atX;
    y = atY;
    kind = pieceKind;
    angle = facing;
    active = true;
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
    bloodTimer = kThrottle;
    for (BloodSplat*& splat : bloodSplats) {
        splat = new BloodSplat(bloodSprite);
    }
}

void InitGore() {
    goreCursor = 0;
    goreTimer = kThrottle;
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
