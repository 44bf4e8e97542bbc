#include "world/soldier.h"

#include <cmath>

#include "render2d/hgesprite.h"
#include "world/assets.h"
#include "world/bullet.h"

namespace {

// What tells the two weapons apart; everything else about firing is shared.
struct WeaponTraits {
    float interval;
    int clipSize;
    const HEFFECT& shotSound;
};

constexpr float kPistolInterval = 0.25f;
constexpr float kSmgInterval = 0.1f;
constexpr int kPistolClipSize = 12;
constexpr int kSmgClipSize = 30;
constexpr float kHotSpot = 25.0f;

const WeaponTraits kPistolTraits{kPistolInterval, kPistolClipSize, pistolShotSound};
const WeaponTraits kSmgTraits{kSmgInterval, kSmgClipSize, smgShotSound};

// Fills the clip from the shared reserve; the reload sound plays even when the reserve is
// empty.
void Reload(int& clip, int clipSize, int& ammo) {
    PlayEffect(reloadSound, kReloadVolume);
    if (ammo <= clipSize) {
        clip = ammo;
        ammo = 0;
    } else {
        clip = clipSize;
        ammo -= clipSize;
    }
}

void LaunchBullet(const float& delta, const float& targetX, const float& targetY,
                  const float& originX, const float& originY, float angle) {
    Bullet& bullet = *bullets[bulletCursor];
    bullet.SetFrameDelta(delta);
    bullet.SetPosition(originX, originY);
    bullet.SetTarget(targetX, targetY);
    bullet.SetAngle(angle);
    bullet.SetActive(true);
    bulletCursor = bulletCursor < kBulletCount - 1 ? bulletCursor + 1 : 0;
}

void FireBranch(const WeaponTraits& weapon, float& timer, int& clip, const float& delta,
                const float& targetX, const float& targetY, const float& originX,
                const float& originY, Soldier& soldier) {
    // Only a timer strictly past the interval lets a shot out; until then it just runs.
    if (timer <= weapon.interval) {
        timer = static_cast<float>(static_cast<double>(timer) + delta);
        return;
    }
    int& ammo = soldier.AmmoRef();
    // Deliberate rule: the trigger only clicks when the selected clip and the reserve are both
    // empty. Rounds left in the clip are always fired, even with an empty reserve, and the timer
    // stands still while the click repeats.
    if (clip <= 0 && ammo <= 0) {
        PlayEffect(emptySound, kShotVolume);
        ammo = 0;
        return;
    }
    // A bullet flies on the time of the frame that fires it. A frame without time (the first,
    // or the first after a pause, whose click may be the one that brought the window back)
    // would leave it lying in front of the soldier, so the shot waits for the next frame.
    if (delta <= 0.0f) {
        return;
    }
    // Deliberate rule: an empty clip with rounds in the reserve (after an ammunition pickup)
    // is filled before the shot, so every shot spends a round that was in the clip.
    if (clip <= 0) {
        Reload(clip, weapon.clipSize, ammo);
    }
    PlayEffect(weapon.shotSound, kShotVolume);
    LaunchBullet(delta, targetX, targetY, originX, originY, soldier.AngleRef());
    timer = 0.0f;
    if (clip != 0) {
        --clip;
    }
    // No reload delay: the shot that empties the clip refills it at once.
    if (clip <= 0) {
        Reload(clip, weapon.clipSize, ammo);
    }
}

}  // namespace

Soldier::Soldier(hgeSprite* pistolSprite, hgeSprite* smgSprite)
    : pistolSprite(pistolSprite), smgSprite(smgSprite) {
    pistolSprite->SetHotSpot(kHotSpot, kHotSpot);
    smgSprite->SetHotSpot(kHotSpot, kHotSpot);
    x = 400.0f;
    y = 300.0f;
    alive = true;
    weapon = kPistol;
    health = 100;
    ammo = 1000;
    pistolClip = kPistolClipSize;
    smgClip = kSmgClipSize;
}

void Soldier::TakeDamage(int amount) {
    health -= amount;
}

void Soldier::SetWeapon(int kind) {
    weapon = kind;
}

void Soldier::Aim(const float& targetX, const float& targetY) {
    angle = AimAngle(x, y, targetX, targetY);
    // Deliberate rule: any health at or below 0 is death, so a soldier bitten below 0 in one
    // frame stops being drawn too.
    if (health <= 0) {
        alive = false;
    }
}

void Soldier::Render() {
    if (!alive) {
        return;
    }
    if (weapon == kPistol) {
        pistolSprite->RenderEx(x, y, angle, 1.0f, 0.0f);
    }
    if (weapon == kSubmachineGun) {
        smgSprite->RenderEx(x, y, angle, 1.0f, 0.0f);
    }
}

float AimAngle(float fromX, float fromY, float toX, float toY) {
    const float dy = fromY - toY;
    const float dx = fromX - toX;
    const auto turn = static_cast<float>(std::atan2(static_cast<double>(dy), dx));
    // 1.6 rather than a quarter turn: the images were drawn for it.
    return turn + 1.6f;
}

void FireWeapon(const float& delta, const float& targetX, const float& targetY,
                const float& originX, const float& originY, Soldier& soldier) {
    if (soldier.WeaponRef() == kPistol) {
        FireBranch(kPistolTraits, pistolFireTimer, soldier.PistolClipRef(), delta, targetX, targetY,
                   originX, originY, soldier);
    }
    if (soldier.WeaponRef() == kSubmachineGun) {
        FireBranch(kSmgTraits, smgFireTimer, soldier.SmgClipRef(), delta, targetX, targetY, originX,
                   originY, soldier);
    }
}
