#include "support/game_reset.h"

#include "app/crosshair.h"
#include "app/frame.h"
#include "app/game.h"
#include "app/ground_layer.h"
#include "app/resources.h"
#include "app/rules.h"
#include "app/scene.h"
#include "app/weapon_bar.h"
#include "render2d/hgefont.h"
#include "render2d/hgesprite.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {

namespace {

template <typename T>
void DeleteOne(T*& object) {
    delete object;
    object = nullptr;
}

template <typename T, int N>
void DeleteAll(T* (&pool)[N]) {
    for (T*& object : pool) {
        DeleteOne(object);
    }
}

// The sprites and the font the asset table made; the other handles are plain numbers that the
// next start-up overwrites.
void FreeAssets() {
    for (const Asset& asset : AssetTable()) {
        if (asset.sprite != nullptr) {
            DeleteOne(*asset.sprite);
        }
        if (asset.font != nullptr) {
            DeleteOne(*asset.font);
        }
    }
}

void ResetVariables() {
    deltaTime = 0.0f;
    moveSpeed = kStartMoveSpeed;
    score = 0;
    kills = 0;
    level = kStartLevel;
    levelUpShown = false;
    soldierDead = false;
    spawnCorner = 0;
    for (SpawnPoint& point : spawnPoints) {
        point = SpawnPoint{0.0f, 0.0f};
    }
    pressedKey = 0;
    bulletCursor = 0;
    pistolFireTimer = kPistolFireTimerStart;
    smgFireTimer = kSmgFireTimerStart;
    zombieSpawnTimer = kZombieSpawnTimerStart;
    zombieSpawnCursor = 0;
    biteTimer = kBiteTimerStart;
    pickupCursor = 0;
    bloodCursor = 0;
    bloodTimer = kMarkThrottle;
    goreCursor = 0;
    goreTimer = kMarkThrottle;
    hitSoundChoice = 0;
    engine = nullptr;
}

}  // namespace

void FreeGame() {
    CloseGroundLayer();
    DeleteAll(bullets);
    DeleteAll(zombies);
    DeleteAll(pickups);
    DeleteAll(bloodSplats);
    DeleteAll(gorePieces);
    DeleteOne(crosshair);
    DeleteOne(soldier);
    DeleteOne(weaponBar);
    FreeAssets();
    ResetVariables();
}

}  // namespace test
