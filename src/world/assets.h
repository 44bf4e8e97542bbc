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

// The volumes the game plays its sounds at, 0..100. The sound files are levelled for these
// (tests/assets checks that a shot stands out of the music and a kill over a shot).
constexpr int kShotVolume = 5;  // both guns and the empty click
constexpr int kHitVolume = 10;
constexpr int kZombieSoundVolume = 10;
constexpr int kKillVolume = 15;
constexpr int kReloadVolume = 15;
constexpr int kMusicVolume = 25;
