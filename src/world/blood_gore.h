// Blood splats and gore pieces: marks on the ground that stay for the rest of the game.
#pragma once

#include "world/ground.h"

class hgeSprite;

enum GoreKind : int { kArm = 1, kHead = 2 };

class BloodSplat : public GroundPlacement {
  public:
    explicit BloodSplat(hgeSprite* sprite) : sprite(sprite) {}

    void Activate(const float& x, const float& y, const float& angle) { Place(x, y, angle); }
    void Render();

    hgeSprite* sprite;
};

class GorePiece : public GroundPlacement {
  public:
    GorePiece(hgeSprite* armImage, hgeSprite* headImage)
        : kind(kArm), armImage(armImage), headImage(headImage) {}

    void Activate(GoreKind kind, const float& x, const float& y, const float& angle);
    void Render();

    GoreKind kind;
    hgeSprite* armImage;
    hgeSprite* headImage;
};

constexpr int kBloodCount = 1000;
constexpr int kGoreCount = 1000;
// The throttle on placements; each timer starts at it, so the first request of a game places.
constexpr float kMarkThrottle = 0.0002f;
extern BloodSplat* bloodSplats[kBloodCount];
extern int bloodCursor;
extern float bloodTimer;
extern GorePiece* gorePieces[kGoreCount];
extern int goreCursor;
extern float goreTimer;

void InitBlood();
void InitGore();
void SpawnBlood(const float& x, const float& y, const float& angle, const float& delta);
void SpawnGore(GoreKind kind, const float& x, const float& y, const float& angle,
               const float& delta);
