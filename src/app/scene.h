// Drawing the three screens and the HUD.
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

// The engine's render callback; always false.
bool RenderFunc();
