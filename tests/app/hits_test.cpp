// Bullets against zombies: wounds, kills, their sounds, the score and the level-ups.
#include "app/game.h"
#include "support/world_fixture.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

using Files = std::vector<std::string>;

class Hits : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        HoldSpawner();
    }
    // `count` zombies one on another at (x, y), from `firstSlot` on.
    static void PlacePile(int firstSlot, int count, float x, float y, int health) {
        for (int slot = firstSlot; slot < firstSlot + count; ++slot) {
            PlaceZombie(slot, x, y, health);
        }
    }
};

TEST_F(Hits, FiveHitsKillAZombieThroughItsTwoWoundImages) {
    PlaceZombie(0, 600.0f, 150.0f);
    ShootZombie(0, {1});
    EXPECT_EQ(SoundFiles(), Files{kHit1});
    EXPECT_EQ(Sounds()[0].volume, 10);
    EXPECT_EQ(Quads(kZombieImage).size(), 1u);

    ShootZombie(0, {2});
    EXPECT_EQ(SoundFiles(), Files{kHit2});
    EXPECT_TRUE(Quads(kZombieImage).empty());
    EXPECT_EQ(Quads(kWoundedImage).size(), 1u);

    ShootZombie(0, {3});
    EXPECT_EQ(SoundFiles(), Files{kHit3});
    EXPECT_TRUE(Quads(kWoundedImage).empty());
    EXPECT_EQ(Quads(kMaimedImage).size(), 1u);

    ShootZombie(0, {1});
    EXPECT_EQ(SoundFiles(), Files{kHit1});
    EXPECT_EQ(Quads(kMaimedImage).size(), 1u);
    EXPECT_EQ(Shown(kKillsLabel), 0);

    // The kill: the kill sound, then the hit sound the last wound chose.
    ShootZombie(0, {20});
    EXPECT_EQ(SoundFiles(), (Files{kKillSound, kHit1}));
    EXPECT_EQ(Sounds()[0].volume, 15);
    EXPECT_EQ(Sounds()[1].volume, 10);
    EXPECT_TRUE(Quads(kMaimedImage).empty());
    EXPECT_EQ(Shown(kKillsLabel), 1);
    EXPECT_EQ(Shown(kScoreLabel), 100);
    EXPECT_TRUE(Quads("gfx/mermi1.png").empty());
}

TEST_F(Hits, OneBulletHitsEveryZombieInItsBoxAndNoOther) {
    PlaceZombie(0, 300.0f, 100.0f, 20);
    PlaceZombie(1, 310.0f, 110.0f, 20);
    PlaceZombie(2, 330.0f, 105.0f, 20);  // exactly 25 pixels off the bullet on x
    PlaceZombie(3, 305.0f, 80.0f, 20);   // and on y
    LaunchAt(0, 305.0f, 105.0f);
    PlayFresh(Calm({20, 20}));
    EXPECT_EQ(CountSound(kKillSound), 2);
    EXPECT_EQ(Shown(kKillsLabel), 2);
    EXPECT_EQ(Shown(kScoreLabel), 200);
    EXPECT_EQ(Quads(kMaimedImage).size(), 0u);
    EXPECT_EQ(Quads(kZombieImage).size(), 2u);
}

TEST_F(Hits, TwoBulletsOnOneZombieInOneFrameBothWoundIt) {
    PlaceZombie(0, 300.0f, 100.0f);
    LaunchAt(0, 300.0f, 100.0f);
    LaunchAt(1, 300.0f, 100.0f);
    PlayFresh(Calm({3, 2}));
    EXPECT_EQ(SoundFiles(), (Files{kHit3, kHit2}));
    EXPECT_EQ(Quads(kWoundedImage).size(), 1u);
}

TEST_F(Hits, KillsReplayTheLastWoundsSoundWhateverZombieItWas) {
    PlaceZombie(0, 300.0f, 100.0f, 20);
    PlaceZombie(1, 500.0f, 100.0f);
    PlaceZombie(2, 300.0f, 500.0f, 20);
    // No wound yet in this game: the first kill sounds alone.
    ShootZombie(0, {20});
    EXPECT_EQ(SoundFiles(), Files{kKillSound});
    ShootZombie(1, {2});
    EXPECT_EQ(SoundFiles(), Files{kHit2});
    ShootZombie(2, {20});
    EXPECT_EQ(SoundFiles(), (Files{kKillSound, kHit2}));
}

TEST_F(Hits, TheWeaponInHandWhenTheBulletLandsDecidesTheScore) {
    for (const bool switchToSmg : {false, true}) {
        Restart();
        PlaceZombie(0, 450.0f, 300.0f, 20);
        PlayFresh(Holding({HGEK_LBUTTON}, 450.0f, 300.0f));  // the pistol's timer starts full
        std::vector<int> held = {HGEK_LBUTTON};
        if (switchToSmg) {
            held.push_back(HGEK_2);
        }
        PlayFresh(Holding(held, 450.0f, 300.0f));
        EXPECT_EQ(CountSound(kPistolShot), 1);
        PlayFresh(Calm({20}));
        EXPECT_EQ(CountSound(kKillSound), 1);
        EXPECT_EQ(Shown(kScoreLabel), switchToSmg ? 50 : 100);
    }
}

TEST_F(Hits, TheTenthKillShowsTheLevelUpScreenInTheSameFrame) {
    for (int n = 0; n < 10; ++n) {
        PlaceZombie(n, 100.0f + 60.0f * n, 100.0f, 20);
    }
    for (int n = 0; n < 9; ++n) {
        ShootZombie(n, {20});
        EXPECT_EQ(Shown(kKillsLabel), n + 1);
    }
    ShootZombie(9, {20});
    EXPECT_TRUE(ShowsLine(kLevelUpLine));
    EXPECT_EQ(Shown(kEndScoreLabel), 1000);
    EXPECT_EQ(Shown(kKillsLabel), kNotShown);

    PlayFresh(Pressing(HGEK_ENTER));
    EXPECT_FALSE(ShowsLine(kLevelUpLine));
    EXPECT_EQ(Shown(kKillsLabel), 0);
    EXPECT_EQ(Shown(kScoreLabel), 1000);
}

TEST_F(Hits, KillsThatOvershootTheLevelsCountInOneFrameStillLevelUp) {
    PlacePile(0, 9, 300.0f, 100.0f, 20);
    ShootZombie(0, std::vector<int>(9, 20));
    EXPECT_EQ(Shown(kKillsLabel), 9);

    // Eleven more at once carry the count from 9 to 20, past the level's 10.
    PlacePile(0, 11, 300.0f, 100.0f, 20);
    ShootZombie(0, std::vector<int>(11, 20));
    EXPECT_EQ(CountSound(kKillSound), 11);
    EXPECT_TRUE(ShowsLine(kLevelUpLine));
    EXPECT_EQ(Shown(kEndScoreLabel), 2000);
    PlayFresh(Pressing(HGEK_ENTER));
    EXPECT_EQ(Shown(kKillsLabel), 0);

    // Level 2 wants 20; 25 in one frame will do.
    PlacePile(0, 25, 300.0f, 100.0f, 20);
    ShootZombie(0, std::vector<int>(25, 20));
    EXPECT_TRUE(ShowsLine(kLevelUpLine));
    EXPECT_EQ(Shown(kEndScoreLabel), 4500);
}

TEST_F(Hits, NothingMovesBitesOrSoundsBehindTheLevelUpScreen) {
    PlaceZombie(20, 700.0f, 500.0f);
    PlayFresh(Calm());
    const Placed before = DrawnAt(kZombieImage).back();
    PlacePile(0, 10, 300.0f, 100.0f, 20);
    PlaceZombie(21, 400.0f, 300.0f);  // touching the soldier, with a bite due
    biteTimer = 1.0f;
    ShootZombie(0, std::vector<int>(10, 20));
    ASSERT_TRUE(ShowsLine(kLevelUpLine));
    zombieSpawnTimer = 0.5f;  // a zombie is due as soon as play goes on

    for (int n = 0; n < 100; ++n) {
        PlayFresh(Holding({HGEK_LBUTTON}, 100.0f, 100.0f));
        EXPECT_TRUE(Sounds().empty());
        EXPECT_EQ(Order(), (Files{"gfx/dirt.jpg", "clear 00FFFFFF", "text"}));
    }
    PlayFresh(Pressing(HGEK_ENTER));
    EXPECT_EQ(HealthShown(), 90);  // the one due bite, no more
    const std::vector<Placed> zombiesNow = DrawnAt(kZombieImage);
    ASSERT_EQ(zombiesNow.size(), 2u);
    // One chase step (the kill frame's) from where it was, not a hundred.
    EXPECT_NEAR(zombiesNow[0].x, before.x, 3.0);
    EXPECT_NEAR(zombiesNow[0].y, before.y, 3.0);
    EXPECT_TRUE(Sounds().empty());
    PlayFresh(Calm());
    EXPECT_EQ(CountSound(kGroan), 1);
}

TEST_F(Hits, NothingHappensBehindTheDeathScreen) {
    PlaceZombie(0, 400.0f, 300.0f);
    PlaceZombie(1, 420.0f, 300.0f);
    biteTimer = 1.0f;
    soldier->HealthRef() = 10;
    PlayFresh(Calm());
    EXPECT_EQ(HealthShown(), 0);
    zombieSpawnTimer = 0.5f;
    for (int n = 0; n < 100; ++n) {
        PlayFresh(Holding({HGEK_LBUTTON}, 420.0f, 300.0f));
        EXPECT_TRUE(Sounds().empty());
        EXPECT_EQ(Order(), (Files{"gfx/dirt.jpg", "clear 00FFFFFF", "text"}));
        EXPECT_TRUE(ShowsLine(kDeathLine));
    }
    EXPECT_EQ(Shown(kEndScoreLabel), 0);
}

}  // namespace
}  // namespace test
