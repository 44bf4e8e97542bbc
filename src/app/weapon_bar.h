// The bar at the bottom of the screen with the icon of the selected weapon.
#pragma once

class hgeSprite;

// The bar's weapon slot, the icon and the clip count beside it, on the 800x600 picture: where a
// tap switches weapons on a touch screen.
constexpr float kWeaponSlotLeft = 590.0f;
constexpr float kWeaponSlotTop = 569.0f;
constexpr float kWeaponSlotRight = 690.0f;
constexpr float kWeaponSlotBottom = 600.0f;

class WeaponBar {
  public:
    WeaponBar(hgeSprite* barSprite, hgeSprite* pistolIcon, hgeSprite* smgIcon);
    void SetWeapon(int kind) { weapon = kind; }
    void Render();

    int weapon;
    hgeSprite* barSprite;
    hgeSprite* pistolIcon;
    hgeSprite* smgIcon;
};
