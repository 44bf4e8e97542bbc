// Every image, sound, the music and the font, loaded once at start-up by the application and
// never freed. The handles live here, beside the world objects that draw and play them.
#pragma once

#include "engine/hge.h"

class hgeSprite;
class hgeFont;

extern HTEXTURE backgroundTexture, soldierPistolTexture, soldierSmgTexture, bulletTexture,
    healthItemTexture, ammoItemTexture, crosshairTexture, zombieTexture, zombieWoundedTexture,
    zombieMaimedTexture, armTexture, headTexture, bloodTexture, weaponBarTexture, pistolIconTexture,
    smgIconTexture;

extern hgeSprite *backgroundSprite, *soldierPistolSprite, *soldierSmgSprite, *bulletSprite,
    *healthItemSprite, *ammoItemSprite, *crosshairSprite, *zombieSprite, *zombieWoundedSprite,
    *zombieMaimedSprite, *armSprite, *headSprite, *bloodSprite, *weaponBarSprite, *pistolIconSprite,
    *smgIconSprite;

extern HEFFECT pistolShotSound, smgShotSound, hitSound1, hitSound2, hitSound3, killSound,
    zombieSound, emptySound, reloadSound;
extern HSTREAM music;
extern hgeFont* hudFont;

// Every sound of the game plays this way: centred, at its own pitch, once; each call is one more
// overlapping play.
void PlayEffect(HEFFECT effect, int volume);
