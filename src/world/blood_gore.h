// Blood splats and gore pieces: marks on the ground that stay for the rest of the game.
#pragma once

#include "render2d/hgerect.h"
#include "world/ground.h"

class hgeSprite;
class QuadRun;

enum GoreKind : int { kArm = 1, kHead = 2 };

class BloodSplat : public GroundPlacement {
  public:
    BloodSplat(hgeSprite* sprite, int order) : sprite(sprite), order(order) {}

    void Activate(const float& x, const float& y, const float& angle);
    void Render(QuadRun& batch);

    hgeSprite* sprite;
    int order;  // its place in the marks' drawing order (see MarkInOrder)
};

class GorePiece : public GroundPlacement {
  public:
    GorePiece(hgeSprite* armImage, hgeSprite* headImage, int order)
        : kind(kArm), armImage(armImage), headImage(headImage), order(order) {}

    void Activate(GoreKind kind, const float& x, const float& y, const float& angle);
    void Render(QuadRun& batch);
    // The image of its kind; none for a kind the game does not know.
    hgeSprite* Image() const {
        return kind == kArm ? armImage : kind == kHead ? headImage : nullptr;
    }

    GoreKind kind;
    hgeSprite* armImage;
    hgeSprite* headImage;
    int order;
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

// The marks are drawn splats first, then pieces, each ring slot by slot: order n is blood slot n
// for n below kBloodCount, then gore slot n - kBloodCount.
constexpr int kMarkCount = kBloodCount + kGoreCount;
GroundPlacement* MarkInOrder(int order);
void DrawMarkInOrder(int order, QuadRun& batch);
// Every active mark, in drawing order.
void DrawGroundMarks();

// What was placed among the marks since the last TakeMarkNews, for whoever keeps a picture of
// them: the orders of the first kNewest placements, where the mark each one replaced lay (a
// clean rectangle when its slot showed nothing), and how many placements there were.
struct MarkNews {
    static constexpr int kNewest = 8;
    int orders[kNewest] = {};
    hgeRect replaced[kNewest] = {};
    int count = 0;
};
MarkNews TakeMarkNews();
// Whether anything was placed since the last TakeMarkNews.
bool MarkNewsWaiting();

void InitBlood();
void InitGore();
void SpawnBlood(const float& x, const float& y, const float& angle, const float& delta);
void SpawnGore(GoreKind kind, const float& x, const float& y, const float& angle,
               const float& delta);
