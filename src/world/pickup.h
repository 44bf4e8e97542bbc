// Health and ammunition pickups dropped by killed zombies.
#pragma once

class HGE;
class hgeSprite;
class Soldier;

// 1 = health, 2 = ammunition.
using PickupKind = int;
constexpr PickupKind kHealthPickup = 1;
constexpr PickupKind kAmmoPickup = 2;

class Pickup {
public:
    Pickup(hgeSprite* healthSprite, hgeSprite* ammoSprite);

    void Activate(PickupKind kind, const float& x, const float& y, const float& angle);
    static void TryCollect(Soldier& soldier, Pickup& pickup);
    // Draws the pickup, then ages it by `delta`.
    void Render(float delta);
    bool IsActive() const { return active; }
    void Deactivate() { active = false; }
    PickupKind Kind() const { return kind; }
    float X() const { return x; }
    float Y() const { return y; }

    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
    bool active;
    PickupKind kind;
    float age;
    hgeSprite* healthSprite;
    hgeSprite* ammoSprite;
};

constexpr int kPickupCount = 1000;
extern Pickup* pickups[kPickupCount];
extern int pickupCursor;

void InitPickups();
void DropPickup(const float& x, const float& y, const float& angle, HGE* engine);
