// The bar at the bottom of the screen with the icon of the selected weapon.
#pragma once

class hgeSprite;

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
