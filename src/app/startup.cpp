#include "app/startup.h"

#include "app/command_line.h"
#include "app/frame.h"
#include "app/game.h"
#include "app/ground_layer.h"
#include "app/resources.h"
#include "app/scene.h"
#include "engine/touch_layout.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace {

void ConfigureEngine() {
    engine->System_SetState(HGE_FRAMEFUNC, FrameFunc);
    engine->System_SetState(HGE_RENDERFUNC, RenderFunc);
    engine->System_SetState(HGE_GFXRESTOREFUNC, GroundLayerLost);
    engine->System_SetState(HGE_SHOWSPLASH, false);
    engine->System_SetState(HGE_WINDOWED, false);
    engine->System_SetState(HGE_USESOUND, true);
    engine->System_SetState(HGE_SCREENWIDTH, 800);
    engine->System_SetState(HGE_SCREENHEIGHT, 600);
    // A tap on the weapon slot of the bar (its icon and clip count) switches weapons.
    touchLayout.cycle = {590.0f, 569.0f, 690.0f, 600.0f, {HGEK_1, HGEK_2}, 2};
}

// Everything the game uses is made here, once; the pools draw on the loaded sprites.
void CreateGame() {
    LoadResources();
    moveSpeed = kStartMoveSpeed;
    score = 0;
    kills = 0;
    InitBullets();
    InitZombies();
    InitBlood();
    InitGore();
    InitPickups();
    OpenGroundLayer();
    crosshair = new Crosshair(0.0f, 0.0f);
    soldier = new Soldier(soldierPistolSprite, soldierSmgSprite);
    weaponBar = new WeaponBar(weaponBarSprite, pistolIconSprite, smgIconSprite);
    engine->Stream_Play(music, true, kMusicVolume);
}

}  // namespace

int RunGame() {
    engine = hgeCreate(HGE_VERSION);
    ConfigureEngine();
    const bool started = engine->System_Initiate();
    if (started) {
        CreateGame();
    }
    // Without a game the engine's loop returns at once, calling neither callback.
    engine->System_Start();
    engine->System_Shutdown();
    engine->Release();
    // A launcher or a script must be able to tell a game that never started from one played.
    return started ? 0 : kExitCannotStart;
}
