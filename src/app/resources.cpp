#include "resources.h"

#include "game.h"
#include "hgefont.h"
#include "hgesprite.h"

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

namespace {

// Each sprite is cut from the top-left corner of its own image.
struct Image {
    const char* file;
    HTEXTURE& texture;
    hgeSprite*& sprite;
    float width;
    float height;
};

const Image kImages[] = {
    {"gfx/dirt.jpg", backgroundTexture, backgroundSprite, 1024, 1024},
    {"gfx/asker1.png", soldierPistolTexture, soldierPistolSprite, 50, 50},
    {"gfx/asker2.png", soldierSmgTexture, soldierSmgSprite, 50, 50},
    {"gfx/mermi1.png", bulletTexture, bulletSprite, 1, 10},
    {"gfx/saglik_nesne.png", healthItemTexture, healthItemSprite, 20, 20},
    {"gfx/mermi_nesne.png", ammoItemTexture, ammoItemSprite, 20, 20},
    {"gfx/nisangah.png", crosshairTexture, crosshairSprite, 10, 10},
    {"gfx/zombi1.png", zombieTexture, zombieSprite, 52, 52},
    {"gfx/zombi2.png", zombieWoundedTexture, zombieWoundedSprite, 50, 50},
    {"gfx/zombi3.png", zombieMaimedTexture, zombieMaimedSprite, 50, 50},
    {"gfx/kol1.png", armTexture, armSprite, 30, 30},
    {"gfx/kelle1.png", headTexture, headSprite, 30, 30},
    {"gfx/kanlar.png", bloodTexture, bloodSprite, 50, 50},
    {"gfx/alt_menu.png", weaponBarTexture, weaponBarSprite, 800, 31},
    {"gfx/silah1.png", pistolIconTexture, pistolIconSprite, 25, 14},
    {"gfx/silah2.png", smgIconTexture, smgIconSprite, 31, 15},
};

struct Effect {
    const char* file;
    HEFFECT& effect;
};

const Effect kEffects[] = {
    {"sfx/colt1911-fire.wav", pistolShotSound},
    {"sfx/mp5-fire.wav", smgShotSound},
    {"sfx/hit-arg.wav", hitSound1},
    {"sfx/hit-arg2.wav", hitSound2},
    {"sfx/hit-arg3.wav", hitSound3},
    {"sfx/dead-hit.wav", killSound},
    {"sfx/zombie.mp3", zombieSound},
    {"sfx/weaponhit.wav", emptySound},
    {"sfx/mp5-reload.wav", reloadSound},
};

}  // namespace

void LoadResources() {
    for (const Image& image : kImages) {
        image.texture = engine->Texture_Load(image.file, 0, false);
    }
    for (const Image& image : kImages) {
        image.sprite = new hgeSprite(image.texture, 0.0f, 0.0f, image.width, image.height);
    }
    for (const Effect& effect : kEffects) {
        effect.effect = engine->Effect_Load(effect.file, 0);
    }
    music = engine->Stream_Load("sfx/zombie_muzik.mp3", 0);
    hudFont = new hgeFont("gfx/durvan.fnt", false);
}

void PlayEffect(HEFFECT effect, int volume) {
    engine->Effect_PlayEx(effect, volume, 0, 1.0f, false);
}
