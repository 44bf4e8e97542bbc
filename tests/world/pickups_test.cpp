// Health and ammunition pickups: dropped by kills, collected by walking over them, gone after
// ten seconds of play.
#include "support/game_fixture.h"
#include "world/pickup.h"
#include "world/soldier.h"

namespace test {
namespace {

class Pickups : public QuietGameTest {
  protected:
    // A pickup of `kind` dropped at (x, y), as a kill whose drop roll was `kind` leaves it.
    void Drop(int kind, float x, float y) {
        LoadRolls({kind});
        DropPickup(x, y, 0.0f, &engine);
    }
    std::size_t ItemsDrawn() const { return Quads(kHealthImage).size() + Quads(kAmmoImage).size(); }
    std::vector<int> FramesDrawn(int count, float delta = kFrame) {
        return FramesWhere(
            count, [delta](int) { return Calm({}, delta); }, [this] { return ItemsDrawn() > 0; });
    }
};

TEST_F(Pickups, AKillDropsHealthOnRoll1AmmunitionOn2AndNothingOtherwise) {
    PlaceZombie(0, 300.0f, 100.0f, 20);
    PlaceZombie(1, 500.0f, 100.0f, 20);
    PlaceZombie(2, 300.0f, 500.0f, 20);
    PlayFresh(Calm());
    // Each kill drops where the zombie was last drawn, facing as it was drawn.
    for (int slot = 0; slot < 2; ++slot) {
        const Placed zombie = DrawnAt(kZombieImage)[0];
        ShootZombie(slot, {slot + 1});
        const std::vector<Placed> item = DrawnAt(slot == 0 ? kHealthImage : kAmmoImage);
        ASSERT_EQ(item.size(), 1u);
        EXPECT_NEAR(item[0].x, zombie.x, 1e-3);
        EXPECT_NEAR(item[0].y, zombie.y, 1e-3);
        EXPECT_NEAR(item[0].angle, zombie.angle, 1e-4);
        EXPECT_EQ(engine.intRanges.back(), (std::pair<int, int>{1, 20}));
    }
    ShootZombie(2, {3});
    for (int roll = 4; roll <= 20; ++roll) {
        Drop(roll, 200.0f, 200.0f);
    }
    PlayFresh(Calm());
    EXPECT_EQ(ItemsDrawn(), 2u);
}

TEST_F(Pickups, WalkingOverAPickupUsesItUpToTheCapsSilently) {
    struct Case {
        int kind, health, ammo, healthAfter, ammoAfter;
    };
    for (const Case& c :
         {Case{kHealthPickup, 90, 1000, 100, 1000}, Case{kHealthPickup, 100, 1000, 100, 1000},
          Case{kHealthPickup, 50, 1000, 60, 1000}, Case{kAmmoPickup, 100, 950, 100, 1000},
          Case{kAmmoPickup, 100, 1000, 100, 1000}, Case{kAmmoPickup, 100, 300, 100, 400}}) {
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
    }
}

TEST_F(Pickups, APickupLiesItsFullTenSecondsEvenInASlotJustEmptied) {
    Drop(kAmmoPickup, 100.0f, 100.0f);
    const std::vector<int> drawn = FramesDrawn(700);
    ASSERT_EQ(drawn.size(), 600u);
    EXPECT_EQ(drawn.back(), 600);
    // Half-second frames add up to exactly 10 s on the 20th, which is already too old.
    Drop(kHealthPickup, 100.0f, 100.0f);
    EXPECT_EQ(FramesDrawn(30, 0.5f).size(), 20u);

    // Taken at 9.9 s; once the ring has come round the next drop goes into the same slot.
    Restart();
    Drop(kHealthPickup, 100.0f, 100.0f);
    PlayN(Calm(), 594);
    soldier->XRef() = soldier->YRef() = 100.0f;
    PlayFresh(Calm());
    PlayFresh(Calm());
    EXPECT_EQ(ItemsDrawn(), 0u);
    soldier->XRef() = 400.0f;
    soldier->YRef() = 300.0f;
    pickupCursor = kPickupCount;
    Drop(kAmmoPickup, 600.0f, 100.0f);
    EXPECT_EQ(FramesDrawn(700).size(), 600u);
}

}  // namespace
}  // namespace test
