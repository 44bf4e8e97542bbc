// The frame, read this first.
//
// Deliberate choices:
// - Program-wide state: the engine, the game variables and the pools are globals, and the
//   objects are plain classes with public data, so every rule reads and writes them directly.
// - Fixed pools made once at start-up (50 bullets, 100 zombies, 1000 each of blood, gore and
//   pickups) used as rings: nothing is allocated after start-up.
// - Timers advance only when their operation runs: a weapon's while the trigger is held, the
//   spawner's while playing, the bite timer while a zombie touches, a pickup's while drawn. The
//   end screens run none of them, so the game stands frozen behind them.
//
// One frame, the engine calling FrameFunc and then RenderFunc:
// FrameFunc  1. seed the generator, draw the spawn corner and four spawn points;
//            2. deltaTime, the crosshair from the mouse, the key pressed;
//            3. while playing: the soldier aims (health <= 0 stops drawing him), each bullet
//               moves and ResolveBulletHits wounds and kills (score, kills, pickup drops, gore,
//               blood, sounds), zombies chase, FireWeapon (clips, ammunition, bullets), the
//               soldier walks, weapon keys, SpawnZombie;
//            4. Enter leaves the level-up screen, Escape ends the game.
// RenderFunc 1. ApplyLevelRule (level, kills back to 0, the level-up screen);
//            2. the ground, then the level-up screen, or the death screen (health <= 0 sets
//               soldierDead), or the playing scene: marks, pickups (collection changes health
//               and ammunition), zombies (bites change health), crosshair, soldier, HUD, bullets.
#include "app/frame.h"

#include "app/crosshair.h"
#include "app/game.h"
#include "app/rules.h"
#include "app/weapon_bar.h"
#include "world/bullet.h"
#include "world/soldier.h"
#include "world/zombie.h"

int spawnCorner = 0;
SpawnPoint spawnPoints[4];
int pressedKey = 0;

namespace {

struct SpawnArea {
    float minX, maxX, minY, maxY;
};

// Just beyond each corner of the 800 x 600 screen, in the order of the corner numbers.
constexpr SpawnArea kSpawnAreas[4] = {
    {-50.0f, 0.0f, -50.0f, 0.0f},
    {800.0f, 850.0f, 600.0f, 650.0f},
    {-50.0f, 0.0f, 600.0f, 650.0f},
    {800.0f, 850.0f, -50.0f, 0.0f},
};

constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;

bool Playing() {
    return !levelUpShown && !soldierDead;
}

// All four points are drawn every frame, used or not, so the generator's sequence does not
// depend on whether a zombie enters.
void DrawSpawnPoints() {
    for (int corner = 0; corner < 4; ++corner) {
        const SpawnArea& area = kSpawnAreas[corner];
        spawnPoints[corner].x = engine->Random_Float(area.minX, area.maxX);
        spawnPoints[corner].y = engine->Random_Float(area.minY, area.maxY);
    }
}

void MoveBullets() {
    for (Bullet* bullet : bullets) {
        if (bullet->ActiveRef()) {
            bullet->Move();
            ResolveBulletHits(*bullet);
        }
    }
}

void ChaseSoldier() {
    for (Zombie* zombie : zombies) {
        if (zombie->IsActive()) {
            zombie->Chase(soldier->XRef(), soldier->YRef(), deltaTime);
        }
    }
}

bool Held(int key) {
    return engine->Input_GetKeyState(key);
}

// Each bound is tested before the step, so the soldier's centre may end up to one step past
// the edge, and then stops moving that way.
void Walk() {
    const double step = static_cast<double>(moveSpeed) * deltaTime;
    float& x = soldier->XRef();
    float& y = soldier->YRef();
    if (Held(HGEK_W) && y > 0.0f) {
        y = static_cast<float>(y - step);
    }
    if (Held(HGEK_S) && y < kScreenHeight) {
        y = static_cast<float>(y + step);
    }
    if (Held(HGEK_A) && x > 0.0f) {
        x = static_cast<float>(x - step);
    }
    if (Held(HGEK_D) && x < kScreenWidth) {
        x = static_cast<float>(x + step);
    }
}

void SelectWeapon() {
    if (Held(HGEK_1)) {
        soldier->SetWeapon(kPistol);
    }
    if (Held(HGEK_2)) {
        soldier->SetWeapon(kSubmachineGun);
    }
}

void UpdatePlay() {
    soldier->Aim(crosshair->x, crosshair->y);
    MoveBullets();
    ChaseSoldier();
    if (Held(HGEK_LBUTTON)) {
        FireWeapon(deltaTime, crosshair->x, crosshair->y, soldier->XRef(), soldier->YRef(),
                   *soldier);
    }
    Walk();
    SelectWeapon();
    const SpawnPoint& spawn = spawnPoints[spawnCorner - 1];
    SpawnZombie(deltaTime, spawn.x, spawn.y);
    weaponBar->SetWeapon(soldier->WeaponRef());
}

}  // namespace

bool FrameFunc() {
    // Still last frame's delta: under a second it truncates to 0, which seeds from the clock.
    engine->Random_Seed(static_cast<int>(deltaTime));
    spawnCorner = engine->Random_Int(1, 4);
    DrawSpawnPoints();
    deltaTime = engine->Timer_GetDelta();
    engine->Input_GetMousePos(&crosshair->x, &crosshair->y);
    pressedKey = engine->Input_GetKey();
    if (Playing()) {
        UpdatePlay();
    }
    if (pressedKey == HGEK_ENTER) {
        levelUpShown = false;
        return false;
    }
    return pressedKey == HGEK_ESCAPE;
}
