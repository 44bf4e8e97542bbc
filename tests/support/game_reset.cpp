#include "game_reset.h"

#include <cstddef>

#include "app/frame.h"
#include "app/game.h"
#include "app/resources.h"
#include "app/rules.h"
#include "app/scene.h"
#include "hgefont.h"
#include "hgesprite.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {

namespace {

hgeSprite** const kSprites[] = {
    &backgroundSprite,    &soldierPistolSprite, &soldierSmgSprite, &bulletSprite,
    &healthItemSprite,    &ammoItemSprite,      &crosshairSprite,  &zombieSprite,
    &zombieWoundedSprite, &zombieMaimedSprite,  &armSprite,        &headSprite,
    &bloodSprite,         &weaponBarSprite,     &pistolIconSprite, &smgIconSprite,
};

HTEXTURE* const kTextures[] = {
    &backgroundTexture,    &soldierPistolTexture, &soldierSmgTexture, &bulletTexture,
    &healthItemTexture,    &ammoItemTexture,      &crosshairTexture,  &zombieTexture,
    &zombieWoundedTexture, &zombieMaimedTexture,  &armTexture,        &headTexture,
    &bloodTexture,         &weaponBarTexture,     &pistolIconTexture, &smgIconTexture,
};

HEFFECT* const kEffects[] = {
    &pistolShotSound, &smgShotSound, &hitSound1,  &hitSound2,   &hitSound3,
    &killSound,       &zombieSound,  &emptySound, &reloadSound,
};

template <typename T, std::size_t N>
void DeleteAll(T* (&pool)[N]) {
    for (T*& object : pool) {
        delete object;
        object = nullptr;
    }
}

template <typename T>
void DeleteOne(T*& object) {
    delete object;
    object = nullptr;
}

void ResetVariables() {
    deltaTime = 0.0f;
    moveSpeed = 100.0f;
    score = 0;
    kills = 0;
    level = 1;
    levelUpShown = false;
    soldierDead = false;
    spawnCorner = 0;
    for (SpawnPoint& point : spawnPoints) {
        point = SpawnPoint{0.0f, 0.0f};
    }
    pressedKey = 0;
    bulletCursor = 0;
    pistolFireTimer = 0.25f;
    smgFireTimer = 0.1f;
    zombieSpawnTimer = 0.5f;
    zombieSpawnCursor = 0;
    biteTimer = 0.5f;
    pickupCursor = 0;
    bloodCursor = 0;
    bloodTimer = 0.0002f;
    goreCursor = 0;
    goreTimer = 0.0002f;
    hitSoundChoice = 0;
    for (HTEXTURE* texture : kTextures) {
        *texture = 0;
    }
    for (HEFFECT* effect : kEffects) {
        *effect = 0;
    }
    music = 0;
    engine = nullptr;
}

}  // namespace

void FreeGame() {
    DeleteAll(bullets);
    DeleteAll(zombies);
    DeleteAll(pickups);
    DeleteAll(bloodSplats);
    DeleteAll(gorePieces);
    DeleteOne(crosshair);
    DeleteOne(soldier);
    DeleteOne(weaponBar);
    DeleteOne(hudFont);
    for (hgeSprite** sprite : kSprites) {
        DeleteOne(*sprite);
    }
    ResetVariables();
}

}  // namespace test
