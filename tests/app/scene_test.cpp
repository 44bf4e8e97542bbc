// What the player sees: the layers of a playing frame and its HUD, and the two end screens with
// the game frozen behind them.
#include "app/game.h"
#include "support/game_fixture.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

using Strings = std::vector<std::string>;

class Scene : public QuietGameTest {
  protected:
    void ExpectEndScreen(const Strings& text) {
        EXPECT_EQ(Order(), kEndScreenOrder);
        // Centred on (400, 300), one line under another.
        std::vector<TextLine> expected;
        for (const std::string& line : text) {
            expected.push_back({400.0f - static_cast<float>(line.size()) * kGlyphWidth / 2,
                                300.0f + kGlyphHeight * static_cast<float>(expected.size()), line});
        }
        EXPECT_EQ(Lines(), expected);
    }
};

TEST_F(Scene, APlayingFrameIsDrawnInLayersUnderTheHud) {
    // A shot in the air first, so every layer has something to show.
    Play(Holding({HGEK_LBUTTON}, 600, 100, 0.3f));
    Play(Holding({HGEK_LBUTTON}, 600, 100, 0.3f));
    bloodSplats[0]->Activate(100.0f, 100.0f, 0.0f);
    gorePieces[0]->Activate(kHead, 100.0f, 100.0f, 0.0f);
    pickups[0]->Activate(kHealthPickup, 100.0f, 100.0f, 0.0f);
    PlaceZombie(0, 700, 100);
    score = 250;
    kills = 3;
    PlayFresh(Holding({}, 123, 456, 0.0f));
    EXPECT_EQ(Order(), (Strings{kGround, kBloodImage, kHeadImage, kHealthImage, kZombieImage,
                                kCrosshairImage, kSoldierImage, "text", kBulletImage, kBarImage,
                                kPistolIcon, "text"}));
    EXPECT_EQ(Quads(kGround).at(0).v[0].x, 0.0f);
    EXPECT_EQ(Quads(kGround).at(0).v[0].y, 0.0f);
    // The crosshair's 10 x 10 image is centred on the mouse.
    EXPECT_EQ(Quads(kCrosshairImage).at(0).v[0].x, 118.0f);
    EXPECT_EQ(Quads(kCrosshairImage).at(0).v[0].y, 451.0f);
    const hgeQuad bar = Quads(kBarImage).at(0);
    EXPECT_EQ(bar.v[0].x, 0.0f);
    EXPECT_EQ(bar.v[0].y, 569.0f);
    EXPECT_EQ(bar.v[2].y, 600.0f);
    EXPECT_EQ(Quads(kPistolIcon).at(0).v[0].x, 600.0f);
    EXPECT_EQ(Quads(kPistolIcon).at(0).v[0].y, 575.0f);
    // Kills and score top left; reserve, health and the clip in hand on the bar.
    EXPECT_EQ(Lines(), (std::vector<TextLine>{{10, 10, kKillsLabel + "3"},
                                              {10, 30, kScoreLabel + "250"},
                                              {60, 580, "1000"},
                                              {190, 580, "100"},
                                              {640, 570, "11"}}));
}

TEST_F(Scene, TheTenthKillOfALevelShowsTheLevelUpScreenAndEnterRestartsTheCount) {
    for (int n = 0; n < 10; ++n) {
        PlaceZombie(n, 100.0f + 60.0f * n, 100.0f, 20);
    }
    for (int n = 0; n < 9; ++n) {
        ShootZombie(n, {20});
        EXPECT_EQ(Shown(kKillsLabel), n + 1);
    }
    ShootZombie(9, {20});
    ExpectEndScreen(Printed(kLevelUpText, 1000));
    PlayFresh(Pressing(HGEK_ENTER));
    EXPECT_EQ(Shown(kKillsLabel), 0);
    EXPECT_EQ(Shown(kScoreLabel), 1000);

    // Kills that carry the count past the level's 20 in one frame still level up.
    for (int slot = 0; slot < 25; ++slot) {
        PlaceZombie(slot, 300.0f, 100.0f, 20);
    }
    ShootZombie(0, std::vector<int>(25, 20));
    EXPECT_EQ(CountSound(kKillSound), 25);
    ExpectEndScreen(Printed(kLevelUpText, 3500));
    PlayFresh(Pressing(HGEK_ENTER));
    EXPECT_EQ(Shown(kKillsLabel), 0);
}

TEST_F(Scene, HealthAtOrBelowZeroIsDeathFromTheNextFrameAndForGood) {
    // Two or three zombies on him with the shared bite timer due and one-second frames: every
    // second zombie bites, 10 - 10 = 0 or 10 - 20 = -10.
    for (const int pile : {2, 3}) {
        Restart();
        soldier->HealthRef() = 10;
        biteTimer = 1.0f;
        for (int slot = 0; slot < pile; ++slot) {
            PlaceZombie(slot, 400, 300);
        }
        score = 700;
        PlayFresh(Calm({}, 1.0f));
        EXPECT_EQ(Quads(kSoldierImage).size(), 1u);
        EXPECT_EQ(HealthShown(), pile == 2 ? 0 : -10);
        PlayFresh(Calm({}, 1.0f));
        ExpectEndScreen(Printed(kDeathText, 700));
        PlayFresh(Pressing(HGEK_ENTER));
        ExpectEndScreen(Printed(kDeathText, 700));
    }
    // Not drawn once his health is gone, whatever screen is up.
    soldier->Aim(500.0f, 300.0f);
    engine.ClearRecords();
    soldier->Render();
    EXPECT_TRUE(engine.events.empty());
}

TEST_F(Scene, TheLevelUpScreenWinsOverDeathUntilEnter) {
    soldier->HealthRef() = 0;
    kills = 10;
    PlayFresh(Calm());
    ExpectEndScreen(Printed(kLevelUpText, 0));
    PlayFresh(Pressing(HGEK_ENTER));
    ExpectEndScreen(Printed(kDeathText, 0));
}

TEST_F(Scene, NothingMovesTicksBitesSoundsOrAgesBehindEitherEndScreen) {
    for (const bool death : {false, true}) {
        Restart();
        soldier->HealthRef() = 50;
        LoadRolls({kAmmoPickup});
        DropPickup(100.0f, 100.0f, 0.0f, &engine);
        PlayN(Calm(), 299);
        PlaceZombie(20, 700.0f, 500.0f);
        PlayFresh(Calm());  // the ammunition pickup's 300th frame
        const Placed before = DrawnAt(kZombieImage).front();
        PlaceZombie(21, 400.0f, 300.0f);  // touching the soldier, with a bite due
        biteTimer = 1.0f;
        if (death) {
            soldier->HealthRef() = 0;
            PlayFresh(Calm());
        } else {
            for (int slot = 0; slot < 10; ++slot) {
                PlaceZombie(slot, 300.0f, 100.0f, 20);
            }
            ShootZombie(0, std::vector<int>(10, 20));
        }
        zombieSpawnTimer = 0.5f;  // a zombie is due as soon as play goes on
        // The trigger, a walking key and a weapon key held, on a health pickup, for 1000 frames.
        LoadRolls({kHealthPickup});
        DropPickup(400.0f, 300.0f, 0.0f, &engine);
        for (int n = 0; n < 1000; ++n) {
            PlayFresh(Holding({HGEK_LBUTTON, HGEK_W, HGEK_2}, 100.0f, 100.0f, 0.3f));
            ASSERT_TRUE(Sounds().empty());
            ASSERT_EQ(Order(), kEndScreenOrder);
        }
        EXPECT_EQ(pistolFireTimer, kPistolFireTimerStart);
        EXPECT_EQ(soldier->YRef(), 300.0f);
        EXPECT_EQ(soldier->WeaponRef(), kPistol);
        PlayFresh(Pressing(HGEK_ENTER));
        if (death) {
            ExpectEndScreen(Printed(kDeathText, 0));
            continue;
        }
        // Play goes on where it stopped: the health pickup taken (still drawn this once) and
        // the one due bite, the zombie one chase step (the kill frame's) from where it was.
        EXPECT_EQ(Quads(kHealthImage).size(), 1u);
        EXPECT_EQ(HealthShown(), 50);
        EXPECT_NEAR(DrawnAt(kZombieImage).front().x, before.x, 3.0);
        EXPECT_NEAR(DrawnAt(kZombieImage).front().y, before.y, 3.0);
        EXPECT_TRUE(Sounds().empty());
        // The spawner's due zombie comes in the next frame; the ammunition pickup has its last
        // 298 frames left.
        PlayFresh(Calm());
        EXPECT_EQ(CountSound(kGroan), 1);
        for (Zombie* zombie : zombies) {
            zombie->Deactivate();  // so the soldier lives to see the pickup go
        }
        HoldSpawner();
        const std::vector<int> ammo = FramesWhere(
            400, [](int) { return Calm(); }, [this] { return !Quads(kAmmoImage).empty(); });
        EXPECT_EQ(ammo.size(), 298u);
    }
}

}  // namespace
}  // namespace test
