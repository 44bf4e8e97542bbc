// Blood splats and gore pieces: marks on the ground that stay for the rest of the game.
#pragma once

class hgeSprite;

// 1 = arm, 2 = head.
using GoreKind = int;
constexpr GoreKind kArm = 1;
constexpr GoreKind kHead = 2;

class BloodSplat {
public:
    explicit BloodSplat(hgeSprite* sprite);

    void Activate(const float& x, const float& y, const float& angle);
    void Render();
    bool IsActive() const { return active; }

    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
    bool active;
    hgeSprite* sprite;
};

class GorePiece {
public:
    GorePiece(hgeSprite* armImage, hgeSprite* headImage);

    void Activate(GoreKind kind, const float& x, const float& y, const float& angle);
    void Render();
    bool IsActive() const { return active; }

    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
    bool active;
    GoreKind kind;
    hgeSprite* armImage;
    hgeSprite* headImage;
};

constexpr int kBloodCount = 1000;
constexpr int kGoreCount = 1000;
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
