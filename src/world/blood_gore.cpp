#include "world/blood_gore.h"

#include "render2d/hgesprite.h"
#include "render2d/quad_run.h"
#include "world/assets.h"
#include "world/ground.h"
#include "world/shared_state.h"

BloodSplat* bloodSplats[kBloodCount];
int bloodCursor = 0;
float bloodTimer = kMarkThrottle;
GorePiece* gorePieces[kGoreCount];
int goreCursor = 0;
float goreTimer = kMarkThrottle;

namespace {

MarkNews news;

// Called before the mark takes its new place, while its corners still say where it showed.
void NotePlaced(const GroundPlacement& mark, int order, bool wasShowing) {
    if (news.count < MarkNews::kNewest) {
        news.orders[news.count] = order;
        news.replaced[news.count] = wasShowing ? mark.Bounds() : hgeRect{};
    }
    ++news.count;
}

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

void BloodSplat::Activate(const float& atX, const float& atY, const float& facing) {
    NotePlaced(*this, order, active);
    Place(atX, atY, facing, sprite);
}

void BloodSplat::Render(QuadRun& batch) {
    DrawOnGround(sprite, *this, batch);
}

void GorePiece::Activate(GoreKind pieceKind, const float& atX, const float& atY,
                         const float& facing) {
    NotePlaced(*this, order, active && Image() != nullptr);
    kind = pieceKind;
    Place(atX, atY, facing, Image());
}

void GorePiece::Render(QuadRun& batch) {
    if (hgeSprite* image = Image()) {
        DrawOnGround(image, *this, batch);
    }
}

GroundPlacement* MarkInOrder(int order) {
    return order < kBloodCount ? static_cast<GroundPlacement*>(bloodSplats[order])
                               : gorePieces[order - kBloodCount];
}

void DrawMarkInOrder(int order, QuadRun& batch) {
    if (order < kBloodCount) {
        bloodSplats[order]->Render(batch);
    } else {
        gorePieces[order - kBloodCount]->Render(batch);
    }
}

void DrawGroundMarks() {
    QuadRun batch(engine);
    for (BloodSplat* splat : bloodSplats) {
        if (splat->IsActive()) {
            splat->Render(batch);
        }
    }
    for (GorePiece* piece : gorePieces) {
        if (piece->IsActive()) {
            piece->Render(batch);
        }
    }
}

bool MarkNewsWaiting() {
    return news.count != 0;
}

MarkNews TakeMarkNews() {
    const MarkNews taken = news;
    news = MarkNews{};
    return taken;
}

void InitBlood() {
    bloodCursor = 0;
    bloodTimer = kMarkThrottle;
    for (int slot = 0; slot < kBloodCount; ++slot) {
        bloodSplats[slot] = new BloodSplat(bloodSprite, slot);
    }
}

void InitGore() {
    goreCursor = 0;
    goreTimer = kMarkThrottle;
    for (int slot = 0; slot < kGoreCount; ++slot) {
        gorePieces[slot] = new GorePiece(armSprite, headSprite, kBloodCount + slot);
    }
    news = MarkNews{};
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
