#include "world/assets.h"

#include "world/shared_state.h"

HTEXTURE backgroundTexture, soldierPistolTexture, soldierSmgTexture, bulletTexture,
    healthItemTexture, ammoItemTexture, crosshairTexture, zombieTexture, zombieWoundedTexture,
    zombieMaimedTexture, armTexture, headTexture, bloodTexture, weaponBarTexture, pistolIconTexture,
    smgIconTexture;

hgeSprite *backgroundSprite, *soldierPistolSprite, *soldierSmgSprite, *bulletSprite,
    *healthItemSprite, *ammoItemSprite, *crosshairSprite, *zombieSprite, *zombieWoundedSprite,
    *zombieMaimedSprite, *armSprite, *headSprite, *bloodSprite, *weaponBarSprite, *pistolIconSprite,
    *smgIconSprite;

HEFFECT pistolShotSound, smgShotSound, hitSound1, hitSound2, hitSound3, killSound, zombieSound,
    emptySound, reloadSound;
HSTREAM music;
hgeFont* hudFont;

void PlayEffect(HEFFECT effect, int volume) {
    engine->Effect_PlayEx(effect, volume, 0, 1.0f, false);
}
