// Bullets against zombies: wounds, kills, their sounds and the score.
#include "support/game_fixture.h"
#include "world/soldier.h"

namespace test {
namespace {

using Files = std::vector<std::string>;

using Hits = QuietGameTest;

TEST_F(Hits, FiveHitsKillAZombieThroughItsTwoWoundImages) {
    PlaceZombie(0, 600.0f, 150.0f);
    struct Step {
        int roll;
        Files sounds;
        const char* image;  // what the zombie wears after the hit
    };
    // Each wound draws one of the three hit sounds; the kill plays the kill sound, then the hit
    // sound the last wound chose.
    const Step steps[] = {{1, {kHit1}, kZombieImage},
                          {2, {kHit2}, kWoundedImage},
                          {3, {kHit3}, kMaimedImage},
                          {1, {kHit1}, kMaimedImage},
                          {20, {kKillSound, kHit1}, nullptr}};
    for (const Step& step : steps) {
        ShootZombie(0, {step.roll});
        EXPECT_EQ(SoundFiles(), step.sounds) << step.roll;
        EXPECT_EQ(Sounds().back().volume, 10);
        for (const char* image : {kZombieImage, kWoundedImage, kMaimedImage}) {
            EXPECT_EQ(Quads(image).size(), image == step.image ? 1u : 0u) << image;
        }
        if (step.roll != 20) {
            EXPECT_EQ(engine.intRanges.back(), (std::pair<int, int>{1, 3}));
        }
    }
    EXPECT_EQ(Sounds()[0].volume, 15);
    EXPECT_EQ(Shown(kKillsLabel), 1);
    EXPECT_EQ(Shown(kScoreLabel), 100);
    EXPECT_TRUE(Quads(kBulletImage).empty());
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
    EXPECT_EQ(Quads(kZombieImage).size(), 2u);
}

TEST_F(Hits, KillsReplayTheLastWoundsSoundWhateverZombieItWas) {
    PlaceZombie(0, 300.0f, 100.0f, 20);
    PlaceZombie(1, 500.0f, 100.0f);
    PlaceZombie(2, 300.0f, 500.0f, 20);
    // No wound yet in this game: the first kill sounds alone.
    ShootZombie(0, {20});
    EXPECT_EQ(SoundFiles(), Files{kKillSound});
    ShootZombie(1, {2});
    ShootZombie(2, {20});
    EXPECT_EQ(SoundFiles(), (Files{kKillSound, kHit2}));
}

TEST_F(Hits, TheWeaponInHandWhenTheBulletLandsDecidesTheScore) {
    for (const bool switchToSmg : {false, true}) {
        Restart();
        PlaceZombie(0, 450.0f, 300.0f, 20);
        PlayFresh(Holding({HGEK_LBUTTON}, 450.0f, 300.0f));  // the pistol's timer starts full
        PlayFresh(Holding({HGEK_LBUTTON, switchToSmg ? HGEK_2 : HGEK_1}, 450.0f, 300.0f));
        EXPECT_EQ(CountSound(kPistolShot), 1);
        PlayFresh(Calm({20}));
        EXPECT_EQ(CountSound(kKillSound), 1);
        EXPECT_EQ(Shown(kScoreLabel), switchToSmg ? 50 : 100);
    }
}

}  // namespace
}  // namespace test
