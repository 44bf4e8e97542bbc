#include "world/pickup.h"

#include "engine/hge.h"
#include "render2d/hgesprite.h"
#include "world/assets.h"
#include "world/contact.h"
#include "world/ground.h"
#include "world/soldier.h"

Pickup* pickups[kPickupCount];
// Not touched by InitPickups: the ring starts where the program starts.
int pickupCursor = 0;

namespace {

// What a pickup adds to the soldier's count, and the most it can bring the count to.
struct Gain {
    int amount;
    int cap;
};
constexpr Gain kHealthGain{10, 100};
constexpr Gain kAmmoGain{100, 1000};

void AddCapped(int& value, Gain gain) {
    value += gain.amount;
    if (value > gain.cap) {
        value = gain.cap;
    }
}

}  // namespace

Pickup::Pickup(hgeSprite* healthSprite, hgeSprite* ammoSprite)
    : kind(kHealthPickup), age(0.0f), healthSprite(healthSprite), ammoSprite(ammoSprite) {}

void Pickup::Activate(PickupKind pickupKind, const float& atX, const float& atY,
                      const float& facing) {
    kind = pickupKind;
    Place(atX, atY, facing, Image());
    // Deliberate rule: every placement lies its full ten seconds. Keeping the age of the slot's
    // previous pickup would make a drop into a slot collected at 9.9 s vanish almost at once.
    age = 0.0f;
}

void Pickup::TryCollect(Soldier& soldier, Pickup& pickup) {
    if (!Touches(soldier.XRef(), soldier.YRef(), pickup.x, pickup.y)) {
        return;
    }
    // Used up even at the cap, and silently.
    if (pickup.kind == kHealthPickup) {
        AddCapped(soldier.HealthRef(), kHealthGain);
        pickup.Deactivate();
    } else if (pickup.kind == kAmmoPickup) {
        AddCapped(soldier.AmmoRef(), kAmmoGain);
        pickup.Deactivate();
    }
}

void Pickup::Render(float delta, QuadRun& batch) {
    constexpr double kLifetime = 10.0;
    if (hgeSprite* image = Image()) {
        DrawOnGround(image, *this, batch);
    }
    // Ageing follows drawing, so a pickup is still seen in the frame it expires, and the end
    // screens, which draw no pickups, do not age them.
    if (age < kLifetime) {
        age = static_cast<float>(static_cast<double>(age) + delta);
    }
    if (age >= kLifetime) {
        age = 0.0f;
        Deactivate();
    }
}

void InitPickups() {
    for (Pickup*& pickup : pickups) {
        pickup = new Pickup(healthItemSprite, ammoItemSprite);
    }
}

void DropPickup(const float& x, const float& y, const float& angle, HGE* engine) {
    const int roll = engine->Random_Int(1, 20);
    if (roll != kHealthPickup && roll != kAmmoPickup) {
        return;
    }
    // The roll is the kind: 1 health, 2 ammunition, one chance in twenty each.
    pickups[NextRingSlot<kPickupCount>(pickupCursor)]->Activate(static_cast<PickupKind>(roll), x, y,
                                                                angle);
}
