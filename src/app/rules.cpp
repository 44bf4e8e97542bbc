#include "app/rules.h"

#include "app/game.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/contact.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

// Kept between hits: a kill replays whatever the last wounding hit chose, of any zombie, and
// before the first wounding hit of the game there is none.
int hitSoundChoice = 0;

namespace {

// A hit takes 20 health; the zombie's image changes as its health passes 60 and 40.
constexpr int kBulletDamage = 20;
constexpr int kWoundedHealth = 60;
constexpr int kMaimedHealth = 40;

void PlayHitSound() {
    if (hitSoundChoice == 1) {
        PlayEffect(hitSound1, kHitVolume);
    } else if (hitSoundChoice == 2) {
        PlayEffect(hitSound2, kHitVolume);
    } else if (hitSoundChoice == 3) {
        PlayEffect(hitSound3, kHitVolume);
    }
}

void Wound(Zombie& zombie, hgeSprite* image) {
    zombie.SetSprite(image);
    SpawnGore(kArm, zombie.XRef(), zombie.YRef(), zombie.AngleRef(), deltaTime);
}

constexpr int kPistolKillScore = 100;
constexpr int kSmgKillScore = 50;

void Kill(Zombie& zombie) {
    zombie.Deactivate();
    DropPickup(zombie.XRef(), zombie.YRef(), zombie.AngleRef(), engine);
    SpawnGore(kHead, zombie.XRef(), zombie.YRef(), zombie.AngleRef(), deltaTime);
    ++kills;
    PlayEffect(killSound, kKillVolume);
    // The weapon in hand when the bullet lands decides the score, not the one that fired it.
    const int weapon = soldier->WeaponRef();
    if (weapon == kPistol) {
        score += kPistolKillScore;
    } else if (weapon == kSubmachineGun) {
        score += kSmgKillScore;
    }
}

void Hit(Bullet& bullet, Zombie& zombie) {
    bullet.ActiveRef() = false;
    zombie.TakeDamage(kBulletDamage);
    if (zombie.Health() == kWoundedHealth) {
        Wound(zombie, zombieWoundedSprite);
    }
    if (zombie.Health() == kMaimedHealth) {
        Wound(zombie, zombieMaimedSprite);
    }
    if (zombie.Health() == 0) {
        Kill(zombie);
    } else {
        hitSoundChoice = engine->Random_Int(1, 3);
    }
    PlayHitSound();
    SpawnBlood(zombie.XRef(), zombie.YRef(), zombie.AngleRef(), deltaTime);
}

}  // namespace

void ResolveBulletHits(Bullet& bullet) {
    // A bullet that has stopped is still tested against the remaining slots, so one shot
    // wounds every zombie whose box holds its point.
    for (Zombie* zombie : zombies) {
        if (zombie->IsActive() &&
            Touches(bullet.XRef(), bullet.YRef(), zombie->XRef(), zombie->YRef())) {
            Hit(bullet, *zombie);
        }
    }
}

void ApplyLevelRule() {
    constexpr int kKillsPerLevel = 10;
    // Deliberate rule: a lower bound rather than an exact match. Enough kills in one frame could
    // otherwise carry the count past the level's window, and no level-up would ever come again.
    // Still one level per call, and the count restarts.
    if (kills != 0 && kills >= kKillsPerLevel * level) {
        levelUpShown = true;
        ++level;
        kills = 0;
    }
}
