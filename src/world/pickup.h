// Health and ammunition pickups dropped by killed zombies.
#pragma once

#include "world/ground.h"

class HGE;
class hgeSprite;
class QuadRun;
class Soldier;

enum PickupKind : int { kHealthPickup = 1, kAmmoPickup = 2 };

class Pickup : public GroundPlacement {
  public:
    Pickup(hgeSprite* healthSprite, hgeSprite* ammoSprite);

    void Activate(PickupKind kind, const float& x, const float& y, const float& angle);
    static void TryCollect(Soldier& soldier, Pickup& pickup);
    // Draws the pickup into `batch`, then ages it by `delta`.
    void Render(float delta, QuadRun& batch);
    void Deactivate() { active = false; }
    PickupKind Kind() const { return kind; }
    float X() const { return x; }
    float Y() const { return y; }
    // The image of its kind; none for a kind the game does not know.
    hgeSprite* Image() const {
        return kind == kHealthPickup ? healthSprite : kind == kAmmoPickup ? ammoSprite : nullptr;
    }

    PickupKind kind;
    float age;
    hgeSprite* healthSprite;
    hgeSprite* ammoSprite;
};

constexpr int kPickupCount = 1000;
extern Pickup* pickups[kPickupCount];
extern int pickupCursor;

void InitPickups();
// The engine whose generator rolls the drop is an argument here, as it always has been in this
// operation's signature; every other world operation uses the program-wide engine.
void DropPickup(const float& x, const float& y, const float& angle, HGE* engine);
