#include "full_load.h"

#include <cmath>
#include <cstdlib>

#include "app/game.h"
#include "render2d/hgesprite.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace {

constexpr float kSoldierX = 400.0f;
constexpr float kSoldierY = 300.0f;

// Marks on the ground spread over the screen, none under the soldier (pickups there would be
// collected).
void GroundSpot(int i, float* x, float* y) {
    *x = 20.0f + static_cast<float>((i * 37) % 760);
    *y = 20.0f + static_cast<float>((i * 53) % 560);
    if (std::fabs(*x - kSoldierX) < 40.0f && std::fabs(*y - kSoldierY) < 40.0f) {
        *x += 80.0f;
    }
}

float Angle(int i) {
    return static_cast<float>(i % 628) / 100.0f;
}

// Marks are placed once: they never move or go, and placing one again would make the game draw
// its picture of the ground again.
void FillGround() {
    for (int i = 0; i < kBloodCount; ++i) {
        if (bloodSplats[i]->IsActive()) {
            continue;
        }
        float x = 0.0f;
        float y = 0.0f;
        GroundSpot(i, &x, &y);
        bloodSplats[i]->Activate(x, y, Angle(i));
    }
    for (int i = 0; i < kGoreCount; ++i) {
        if (gorePieces[i]->IsActive()) {
            continue;
        }
        float x = 0.0f;
        float y = 0.0f;
        GroundSpot(i + 7, &x, &y);
        gorePieces[i]->Activate(i % 2 == 0 ? kArm : kHead, x, y, Angle(i + 3));
    }
    for (int i = 0; i < kPickupCount; ++i) {
        float x = 0.0f;
        float y = 0.0f;
        GroundSpot(i + 13, &x, &y);
        pickups[i]->Activate(i % 2 == 0 ? kHealthPickup : kAmmoPickup, x, y, Angle(i + 5));
    }
}

// Zombies stand in rows along the top edge, in all three states of wear; one frame brings them
// a couple of pixels closer.
void FillZombies() {
    hgeSprite* const images[3] = {zombieSprite, zombieWoundedSprite, zombieMaimedSprite};
    const int healths[3] = {100, 60, 40};
    for (int i = 0; i < kZombieCount; ++i) {
        Zombie& zombie = *zombies[i];
        zombie.Activate(images[i % 3]);
        zombie.SetSprite(images[i % 3]);
        zombie.health = healths[i % 3];
        zombie.SetPosition(16.0f + static_cast<float>((i % 25) * 31), 30.0f + (i / 25) * 25.0f);
        zombie.AngleRef() = AimAngle(zombie.x, zombie.y, kSoldierX, kSoldierY);
    }
}

// Bullets fly to the right in rows along the bottom edge, far below the zombies.
void FillBullets() {
    for (int i = 0; i < kBulletCount; ++i) {
        Bullet& bullet = *bullets[i];
        const float x = 40.0f + static_cast<float>((i % 10) * 60);
        const float y = 470.0f + static_cast<float>((i / 10) * 15);
        bullet.SetFrameDelta(1.0f / 60.0f);
        bullet.SetPosition(x, y);
        bullet.SetTarget(x + 50.0f, y);
        bullet.SetAngle(AimAngle(x, y, x + 50.0f, y));
        bullet.SetActive(true);
    }
}

template <typename T, int N>
bool AllActive(T* (&pool)[N]) {
    for (T* object : pool) {
        if (!object->IsActive()) {
            return false;
        }
    }
    return true;
}

}  // namespace

void FillFullLoad() {
    soldier->XRef() = kSoldierX;
    soldier->YRef() = kSoldierY;
    soldier->HealthRef() = 100;
    soldierDead = false;
    levelUpShown = false;
    kills = 0;
    FillGround();
    FillZombies();
    FillBullets();
}

void PlaceNewMark(int n) {
    float x = 0.0f;
    float y = 0.0f;
    GroundSpot(n * 11 + 3, &x, &y);
    bloodSplats[NextRingSlot<kBloodCount>(bloodCursor)]->Activate(x, y, Angle(n));
}

bool IsFullLoad() {
    bool bulletsFlying = true;
    for (Bullet* bullet : bullets) {
        bulletsFlying = bulletsFlying && bullet->ActiveRef();
    }
    return bulletsFlying && AllActive(zombies) && AllActive(bloodSplats) && AllActive(gorePieces) &&
           AllActive(pickups) && !soldierDead && !levelUpShown && soldier->HealthRef() > 0;
}
