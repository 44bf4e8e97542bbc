// Blood splats, arms and heads left on the ground by hits, and the rings that hold them and the
// pickups.
#include "support/game_fixture.h"
#include "world/blood_gore.h"
#include "world/pickup.h"

namespace test {
namespace {

class Marks : public QuietGameTest {
  protected:
    // The zombie as last drawn, whichever of its three images it wore.
    Placed ZombieDrawn() const {
        for (const char* image : {kZombieImage, kWoundedImage, kMaimedImage}) {
            if (!DrawnAt(image).empty()) {
                return DrawnAt(image).back();
            }
        }
        ADD_FAILURE() << "no zombie drawn";
        return {};
    }
    static void ExpectAt(const Placed& mark, const Placed& where) {
        EXPECT_NEAR(mark.x, where.x, 1e-3);
        EXPECT_NEAR(mark.y, where.y, 1e-3);
        EXPECT_NEAR(mark.angle, where.angle, 1e-4);
    }
};

TEST_F(Marks, ALoneZombieShotFiveTimesBleedsOnHits135AndLosesOneArmAndItsHead) {
    PlaceZombie(0, 600.0f, 150.0f);
    PlayFresh(Calm());
    struct Expected {
        std::size_t blood, arms, heads;
    };
    const Expected after[] = {{1, 0, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, 0}, {3, 1, 1}};
    for (int hit = 1; hit <= 5; ++hit) {
        // The bullet meets the zombie where it was last drawn, facing as it was drawn.
        const Placed zombie = ZombieDrawn();
        ShootZombie(0, {hit < 5 ? 1 : 20});
        const Expected& expected = after[hit - 1];
        ASSERT_EQ(Quads(kBloodImage).size(), expected.blood) << "hit " << hit;
        ASSERT_EQ(Quads(kArmImage).size(), expected.arms) << "hit " << hit;
        ASSERT_EQ(Quads(kHeadImage).size(), expected.heads) << "hit " << hit;
        const char* newest = hit == 2 ? kArmImage : hit == 5 ? kHeadImage : kBloodImage;
        if (hit != 4) {
            ExpectAt(DrawnAt(newest).back(), zombie);
        }
    }
    // Marks lie under the zombies and everything else.
    PlaceZombie(1, 600.0f, 150.0f);
    PlayFresh(Calm());
    const std::vector<std::string> order = Order();
    ASSERT_GE(order.size(), 7u);
    EXPECT_EQ((std::vector<std::string>(order.begin(), order.begin() + 7)),
              (std::vector<std::string>{kGround, kBloodImage, kBloodImage, kBloodImage, kArmImage,
                                        kHeadImage, kZombieImage}));
}

TEST_F(Marks, EverySecondRequestBleedsUnlessFramesAreShorterThanTheThrottle) {
    for (int slot = 0; slot < 3; ++slot) {
        PlaceZombie(slot, 300.0f, 100.0f);
    }
    PlaceZombie(3, 600.0f, 100.0f);
    ShootZombie(0);  // three hits in one frame: splats for the first and the third
    EXPECT_EQ(Quads(kBloodImage).size(), 2u);
    ShootZombie(3);
    EXPECT_EQ(Quads(kBloodImage).size(), 2u);
    ShootZombie(3);
    EXPECT_EQ(Quads(kBloodImage).size(), 3u);

    // Four hits in a frame of 0.05 ms: a splat, then the tiny deltas do not add up again.
    for (const float delta : {0.00005f, 0.0002f}) {
        Restart();
        for (int slot = 0; slot < 4; ++slot) {
            PlaceZombie(slot, 300.0f, 100.0f);
        }
        LaunchAt(0, 300.0f, 100.0f);
        PlayFresh(Calm({}, delta));
        EXPECT_EQ(Quads(kBloodImage).size(), delta < 0.0002f ? 1u : 2u) << delta;
    }
}

TEST_F(Marks, EachRingReusesSlot0TwiceWhenItComesRound) {
    // The n-th of 1003 distinct points, all well away from the soldier.
    auto point = [](int n) { return Placed{10.0f + (n % 50) * 6.0f, 10.0f + (n / 50) * 25.0f, 0}; };
    // Places the n-th point in the ring of `image`: two requests for a mark, since the throttle
    // lets every second one through, or one drop.
    auto place = [this](const std::string& image, const Placed& p) {
        for (int request = 0; request < (image == kHealthImage ? 1 : 2); ++request) {
            if (image == kBloodImage) {
                SpawnBlood(p.x, p.y, p.angle, kFrame);
            } else if (image == kArmImage) {
                SpawnGore(kArm, p.x, p.y, p.angle, kFrame);
            } else {
                LoadRolls({kHealthPickup});
                DropPickup(p.x, p.y, p.angle, &engine);
            }
        }
    };
    for (const std::string image : {kBloodImage, kArmImage, kHealthImage}) {
        Restart();
        for (int n = 0; n < 1000; ++n) {
            place(image, point(n));
        }
        PlayFresh(Calm());
        ASSERT_EQ(Quads(image).size(), 1000u) << image;
        // The 1001st and 1002nd both go into slot 0, the 1003rd into slot 1.
        for (int n = 1000; n < 1003; ++n) {
            place(image, point(n));
            PlayFresh(Calm());
            const std::vector<Placed> drawn = DrawnAt(image);
            ASSERT_EQ(drawn.size(), 1000u) << image;
            ExpectAt(drawn[0], point(n < 1002 ? n : 1001));
            ExpectAt(drawn[1], point(n < 1002 ? 1 : 1002));
        }
        if (image == kArmImage) {
            // A piece of no known kind takes its slot but shows nothing.
            SpawnGore(static_cast<GoreKind>(3), 0.0f, 0.0f, 0.0f, kFrame);
            PlayFresh(Calm());
            EXPECT_EQ(Quads(kArmImage).size(), 999u);
        }
    }
}

TEST_F(Marks, MarksStayOnTheGroundThroughLaterLevels) {
    for (int slot = 0; slot < 10; ++slot) {
        PlaceZombie(slot, 300.0f, 100.0f, 20);
    }
    ShootZombie(0, std::vector<int>(10, 20));
    ASSERT_TRUE(ShowsLine(kLevelUpLine));
    EXPECT_TRUE(Quads(kBloodImage).empty());
    PlayN(Calm(), 100);
    PlayFresh(Pressing(HGEK_ENTER));
    PlayN(Calm(), 300);
    PlayFresh(Calm());
    // Ten kills in one frame: every second blood and head request was let through.
    ASSERT_EQ(Quads(kBloodImage).size(), 5u);
    ASSERT_EQ(Quads(kHeadImage).size(), 5u);
    for (const Placed& mark : DrawnAt(kBloodImage)) {
        EXPECT_NEAR(mark.x, 300.0f, 1e-3);
        EXPECT_NEAR(mark.y, 100.0f, 1e-3);
    }
}

}  // namespace
}  // namespace test
