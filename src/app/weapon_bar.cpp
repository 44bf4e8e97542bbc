#include "app/weapon_bar.h"

#include "render2d/hgesprite.h"
#include "world/soldier.h"

WeaponBar::WeaponBar(hgeSprite* barSprite, hgeSprite* pistolIcon, hgeSprite* smgIcon)
    : weapon(kPistol), barSprite(barSprite), pistolIcon(pistolIcon), smgIcon(smgIcon) {}

void WeaponBar::Render() {
    barSprite->Render(0.0f, 569.0f);
    if (weapon == kPistol) {
        pistolIcon->Render(600.0f, 575.0f);
    }
    if (weapon == kSubmachineGun) {
        smgIcon->Render(600.0f, 575.0f);
    }
}
