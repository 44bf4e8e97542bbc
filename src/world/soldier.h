// The player's soldier, his two weapons and the aim rule shared with the zombies.
#pragma once

class hgeSprite;

// 1 = pistol, 2 = submachine gun.
using WeaponKind = int;
constexpr WeaponKind kPistol = 1;
constexpr WeaponKind kSubmachineGun = 2;

class Soldier {
  public:
    Soldier(hgeSprite* pistolSprite, hgeSprite* smgSprite);

    int& HealthRef() { return health; }
    int& AmmoRef() { return ammo; }
    int& PistolClipRef() { return pistolClip; }
    int& SmgClipRef() { return smgClip; }
    float& XRef() { return x; }
    float& YRef() { return y; }
    float& AngleRef() { return angle; }
    int& WeaponRef() { return weapon; }

    void TakeDamage(int amount);
    void SetWeapon(int kind);
    void Aim(const float& targetX, const float& targetY);
    void Render();

    int health;
    int ammo;
    int pistolClip;
    int smgClip;
    float x;
    float y;
    float angle = 0.0f;
    bool alive;
    int weapon;
    hgeSprite* pistolSprite;
    hgeSprite* smgSprite;
};

// The drawing angle that turns an image whose front faces +y from (fromX, fromY) toward
// (toX, toY).
float AimAngle(float fromX, float fromY, float toX, float toY);

// Called every playing frame while the trigger is held.
void FireWeapon(const float& delta, const float& targetX, const float& targetY,
                const float& originX, const float& originY, Soldier& soldier);
