#include "app/scene.h"

#include "app/crosshair.h"
#include "app/game.h"
#include "app/ground_layer.h"
#include "app/rules.h"
#include "app/weapon_bar.h"
#include "render2d/hgefont.h"
#include "render2d/hgesprite.h"
#include "render2d/quad_run.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace {

// End screens: white, whatever was drawn before, with the text in the middle.
constexpr std::uint32_t kEndScreenColor = 0x00FFFFFF;
constexpr float kCentreX = 400.0f;
constexpr float kCentreY = 300.0f;

void DrawEndScreen(const char* text) {
    engine->Gfx_Clear(kEndScreenColor);
    hudFont->printf(kCentreX, kCentreY, HGETEXT_CENTER, text, score);
}

// A pickup collected here is still drawn, and aged, this one last time.
void CollectAndDrawPickups() {
    QuadRun batch(engine);
    for (Pickup* pickup : pickups) {
        if (pickup->IsActive()) {
            Pickup::TryCollect(*soldier, *pickup);
            pickup->Render(deltaTime, batch);
        }
    }
}

void BiteAndDrawZombies() {
    for (Zombie* zombie : zombies) {
        if (zombie->IsActive()) {
            Zombie::BiteSoldier(deltaTime, *soldier, *zombie);
            zombie->Render();
        }
    }
}

void DrawBullets() {
    for (Bullet* bullet : bullets) {
        if (bullet->ActiveRef()) {
            bullet->Render();
        }
    }
}

void DrawNumbers() {
    hudFont->printf(60.0f, 580.0f, HGETEXT_LEFT, "%d", soldier->AmmoRef());
    hudFont->printf(190.0f, 580.0f, HGETEXT_LEFT, "%d", soldier->HealthRef());
    if (soldier->WeaponRef() == kPistol) {
        hudFont->printf(640.0f, 570.0f, HGETEXT_LEFT, "%d", soldier->PistolClipRef());
    }
    if (soldier->WeaponRef() == kSubmachineGun) {
        hudFont->printf(640.0f, 570.0f, HGETEXT_LEFT, "%d", soldier->SmgClipRef());
    }
}

// Later draws lie on top: marks on the ground, pickups, zombies, then the soldier and the HUD.
void DrawPlaying() {
    DrawGroundLayer();
    CollectAndDrawPickups();
    BiteAndDrawZombies();
    // The 10 x 10 image centred on the mouse.
    crosshairSprite->Render(crosshair->x - 5.0f, crosshair->y - 5.0f);
    soldier->Render();
    hudFont->printf(10.0f, 10.0f, HGETEXT_LEFT, kKillsAndScore, kills, score);
    DrawBullets();
    weaponBar->Render();
    DrawNumbers();
}

}  // namespace

bool RenderFunc() {
    ApplyLevelRule();
    // Deliberate rule: a health of 0 or less is death; several bites in one frame can carry it
    // below 0. Bites come later in this call, so a fatal bite shows from the next frame.
    if (!levelUpShown && soldier->HealthRef() <= 0) {
        soldierDead = true;
    }
    const bool playing = !levelUpShown && !soldierDead;
    // The ground layer's own scene comes before the screen's.
    if (playing) {
        UpdateGroundLayer();
    }
    engine->Gfx_BeginScene(0);
    if (playing) {
        DrawPlaying();
    } else {
        // The end screens submit the ground straight, then clear over it.
        backgroundSprite->Render(0.0f, 0.0f);
        DrawEndScreen(levelUpShown ? kLevelUpText : kDeathText);
    }
    engine->Gfx_EndScene();
    return false;
}
