// The table alone, in a file of its own, so a tool or test can read it without the loader.
#include "app/resources.h"
#include "world/assets.h"

namespace {

constexpr Asset Image(const char* path, float width, float height, HTEXTURE& texture,
                      hgeSprite*& sprite) {
    return {.path = path,
            .kind = AssetKind::kImage,
            .width = width,
            .height = height,
            .texture = &texture,
            .sprite = &sprite};
}

constexpr Asset Effect(const char* path, HEFFECT& effect) {
    return {.path = path, .kind = AssetKind::kEffect, .effect = &effect};
}

const Asset kAssets[] = {
    Image("gfx/dirt.jpg", 1024, 1024, backgroundTexture, backgroundSprite),
    Image("gfx/asker1.png", 50, 50, soldierPistolTexture, soldierPistolSprite),
    Image("gfx/asker2.png", 50, 50, soldierSmgTexture, soldierSmgSprite),
    Image("gfx/mermi1.png", 1, 10, bulletTexture, bulletSprite),
    Image("gfx/saglik_nesne.png", 20, 20, healthItemTexture, healthItemSprite),
    Image("gfx/mermi_nesne.png", 20, 20, ammoItemTexture, ammoItemSprite),
    Image("gfx/nisangah.png", 10, 10, crosshairTexture, crosshairSprite),
    Image("gfx/zombi1.png", 52, 52, zombieTexture, zombieSprite),
    Image("gfx/zombi2.png", 50, 50, zombieWoundedTexture, zombieWoundedSprite),
    Image("gfx/zombi3.png", 50, 50, zombieMaimedTexture, zombieMaimedSprite),
    Image("gfx/kol1.png", 30, 30, armTexture, armSprite),
    Image("gfx/kelle1.png", 30, 30, headTexture, headSprite),
    Image("gfx/kanlar.png", 50, 50, bloodTexture, bloodSprite),
    Image("gfx/alt_menu.png", 800, 31, weaponBarTexture, weaponBarSprite),
    Image("gfx/silah1.png", 25, 14, pistolIconTexture, pistolIconSprite),
    Image("gfx/silah2.png", 31, 15, smgIconTexture, smgIconSprite),
    Effect("sfx/colt1911-fire.wav", pistolShotSound),
    Effect("sfx/mp5-fire.wav", smgShotSound),
    Effect("sfx/hit-arg.wav", hitSound1),
    Effect("sfx/hit-arg2.wav", hitSound2),
    Effect("sfx/hit-arg3.wav", hitSound3),
    Effect("sfx/dead-hit.wav", killSound),
    Effect("sfx/zombie.mp3", zombieSound),
    Effect("sfx/weaponhit.wav", emptySound),
    Effect("sfx/mp5-reload.wav", reloadSound),
    {.path = "sfx/zombie_muzik.mp3", .kind = AssetKind::kMusic, .stream = &music},
    {.path = "gfx/durvan.fnt", .kind = AssetKind::kFont, .font = &hudFont},
};

}  // namespace

std::span<const Asset> AssetTable() {
    return kAssets;
}
