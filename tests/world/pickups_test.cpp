// Health and ammunition pickups: dropped by kills, collected by walking over them, gone after
// ten seconds of play.
#include "app/game.h"
#include "support/world_fixture.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

class Pickups : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        HoldSpawner();
    }
    // A pickup of `kind` dropped at (x, y), as a kill whose drop roll was `kind` leaves it.
    void Drop(PickupKind kind, float x, float y) {
        LoadRolls({kind});
        const float angle = 0.0f;
        DropPickup(x, y, angle, &engine);
    }
    std::size_t ItemsDrawn() const { return Quads(kHealthImage).size() + Quads(kAmmoImage).size(); }
    std::vector<int> FramesDrawn(int count, const char* image) {
        return FramesWhere(
            count, [](int) { return Calm(); }, [this, image] { return !Quads(image).empty(); });
    }
};

TEST_F(Pickups, AKillDropsHealthOnRoll1AmmunitionOn2AndNothingOtherwise) {
    PlaceZombie(0, 300.0f, 100.0f, 20);
    PlaceZombie(1, 500.0f, 100.0f, 20);
    PlaceZombie(2, 300.0f, 500.0f, 20);
    PlayFresh(Calm());
    // Each kill drops where the zombie was last drawn, facing as it was drawn.
    Placed zombie = DrawnAt(kZombieImage)[0];
    ShootZombie(0, {1});
    ASSERT_EQ(Quads(kHealthImage).size(), 1u);
    const Placed health = DrawnAt(kHealthImage)[0];
    EXPECT_NEAR(health.x, zombie.x, 1e-3);
    EXPECT_NEAR(health.y, zombie.y, 1e-3);
    EXPECT_NEAR(health.angle, zombie.angle, 1e-4);
    EXPECT_EQ(engine.intRanges.back(), (std::pair<int, int>{1, 20}));

    zombie = DrawnAt(kZombieImage)[0];
    ShootZombie(1, {2});
    ASSERT_EQ(Quads(kAmmoImage).size(), 1u);
    EXPECT_NEAR(DrawnAt(kAmmoImage)[0].x, zombie.x, 1e-3);
    EXPECT_NEAR(DrawnAt(kAmmoImage)[0].y, zombie.y, 1e-3);

    ShootZombie(2, {3});
    EXPECT_EQ(ItemsDrawn(), 2u);
    for (int roll = 4; roll <= 20; ++roll) {
        Drop(static_cast<PickupKind>(roll), 200.0f, 200.0f);
    }
    PlayFresh(Calm());
    EXPECT_EQ(ItemsDrawn(), 2u);
}

TEST_F(Pickups, WalkingOverAPickupUsesItUpToTheCaps) {
    struct Case {
        PickupKind kind;
        int health, ammo;
        int healthAfter, ammoAfter;
    };
    const Case cases[] = {
        {kHealthPickup, 90, 1000, 100, 1000}, {kHealthPickup, 100, 1000, 100, 1000},
        {kHealthPickup, 50, 1000, 60, 1000},  {kAmmoPickup, 100, 950, 100, 1000},
        {kAmmoPickup, 100, 1000, 100, 1000},  {kAmmoPickup, 100, 300, 100, 400}};
    for (const Case& c : cases) {
        Restart();
        soldier->HealthRef() = c.health;
        soldier->AmmoRef() = c.ammo;
        Drop(c.kind, 410.0f, 290.0f);
        PlayFresh(Calm());
        EXPECT_EQ(HealthShown(), c.healthAfter);
        EXPECT_EQ(AmmoShown(), c.ammoAfter);
        EXPECT_TRUE(Sounds().empty());
        // Still drawn in the frame it is taken, gone from the next.
        EXPECT_EQ(ItemsDrawn(), 1u);
        PlayFresh(Calm());
        EXPECT_EQ(ItemsDrawn(), 0u);
        EXPECT_EQ(HealthShown(), c.healthAfter);
    }
}

TEST_F(Pickups, OnlyAPickupCloserThan25PixelsOnBothAxesIsTaken) {
    for (const Around& c : kContactCases) {
        Restart();
        soldier->HealthRef() = 50;
        Drop(kHealthPickup, c.x, c.y);
        PlayN(Calm(), 10);
        PlayFresh(Calm());
        EXPECT_EQ(HealthShown(), c.touching ? 60 : 50) << c.x << ", " << c.y;
        EXPECT_EQ(ItemsDrawn(), c.touching ? 0u : 1u) << c.x << ", " << c.y;
    }
}

TEST_F(Pickups, AnUntakenPickupLiesFor600FramesAtSixtyAFrame) {
    Drop(kAmmoPickup, 100.0f, 100.0f);
    const std::vector<int> drawn = FramesDrawn(700, kAmmoImage);
    ASSERT_EQ(drawn.size(), 600u);
    EXPECT_EQ(drawn.front(), 1);
    EXPECT_EQ(drawn.back(), 600);

    // Half-second frames add up to exactly 10 s on the 20th, which is already too old.
    Restart();
    Drop(kHealthPickup, 100.0f, 100.0f);
    const std::vector<int> slow = FramesWhere(
        30, [](int) { return Calm({}, 0.5f); }, [this] { return ItemsDrawn() > 0; });
    EXPECT_EQ(slow.size(), 20u);
}

TEST_F(Pickups, APickupDroppedWhereATakenOneLayLiesItsFullTime) {
    Drop(kHealthPickup, 100.0f, 100.0f);
    PlayN(Calm(), 594);  // 9.9 s
    soldier->XRef() = 100.0f;
    soldier->YRef() = 100.0f;
    PlayFresh(Calm());
    EXPECT_EQ(ItemsDrawn(), 1u);
    PlayFresh(Calm());
    EXPECT_EQ(ItemsDrawn(), 0u);
    soldier->XRef() = 400.0f;
    soldier->YRef() = 300.0f;

    // Once the ring has come round, the next drop goes into the same slot.
    pickupCursor = kPickupCount;
    Drop(kAmmoPickup, 600.0f, 100.0f);
    EXPECT_EQ(FramesDrawn(700, kAmmoImage).size(), 600u);
}

TEST_F(Pickups, TheRingReusesSlot0TwiceWhenItComesRound) {
    auto point = [](int n) { return Placed{10.0f + (n % 50) * 6.0f, 10.0f + (n / 50) * 25.0f, 0}; };
    for (int n = 0; n < 1000; ++n) {
        const Placed p = point(n);
        Drop(kHealthPickup, p.x, p.y);
    }
    PlayFresh(Calm());
    ASSERT_EQ(Quads(kHealthImage).size(), 1000u);

    Drop(kAmmoPickup, point(1000).x, point(1000).y);
    PlayFresh(Calm());
    ASSERT_EQ(Quads(kAmmoImage).size(), 1u);
    EXPECT_FLOAT_EQ(DrawnAt(kAmmoImage)[0].x, point(1000).x);
    EXPECT_FLOAT_EQ(DrawnAt(kHealthImage)[0].x, point(1).x);

    Drop(kHealthPickup, point(1001).x, point(1001).y);
    PlayFresh(Calm());
    EXPECT_TRUE(Quads(kAmmoImage).empty());
    EXPECT_FLOAT_EQ(DrawnAt(kHealthImage)[0].y, point(1001).y);
    EXPECT_FLOAT_EQ(DrawnAt(kHealthImage)[1].x, point(1).x);

    Drop(kAmmoPickup, point(1002).x, point(1002).y);
    PlayFresh(Calm());
    ASSERT_EQ(Quads(kAmmoImage).size(), 1u);
    EXPECT_FLOAT_EQ(DrawnAt(kAmmoImage)[0].x, point(1002).x);
    ASSERT_EQ(Quads(kHealthImage).size(), 999u);
    EXPECT_FLOAT_EQ(DrawnAt(kHealthImage)[1].x, point(2).x);
}

TEST_F(Pickups, TheLevelUpScreenNeitherShowsTakesNorAgesThem) {
    Drop(kAmmoPickup, 100.0f, 100.0f);
    PlayN(Calm(), 300);
    for (int slot = 0; slot < 10; ++slot) {
        PlaceZombie(slot, 600.0f, 500.0f, 20);
    }
    ShootZombie(0, std::vector<int>(10, 20));
    ASSERT_TRUE(ShowsLine(kLevelUpLine));
    // The soldier stands on a health pickup all through the screen.
    soldier->HealthRef() = 50;
    Drop(kHealthPickup, 400.0f, 300.0f);
    for (int n = 0; n < 1000; ++n) {
        PlayFresh(Calm());
        ASSERT_EQ(ItemsDrawn(), 0u);
    }
    PlayFresh(Pressing(HGEK_ENTER));
    EXPECT_EQ(Quads(kHealthImage).size(), 1u);
    EXPECT_EQ(HealthShown(), 60);
    // 300 of its 600 frames were played before the screen and one more as Enter ended it.
    EXPECT_EQ(FramesDrawn(400, kAmmoImage).size(), 299u);
}

TEST_F(Pickups, TheDeathScreenShowsNone) {
    Drop(kAmmoPickup, 100.0f, 100.0f);
    Drop(kHealthPickup, 400.0f, 300.0f);
    soldier->HealthRef() = 0;
    for (int n = 0; n < 100; ++n) {
        PlayFresh(Calm());
        ASSERT_EQ(ItemsDrawn(), 0u);
        ASSERT_TRUE(ShowsLine(kDeathLine));
    }
}

}  // namespace
}  // namespace test
