// Blood splats, arms and heads left on the ground by hits.
#include "app/game.h"
#include "support/world_fixture.h"
#include "world/blood_gore.h"
#include "world/zombie.h"

namespace test {
namespace {

class Marks : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        HoldSpawner();
    }
    // The zombie as last drawn, whichever of its three images it wore.
    Placed ZombieDrawn() const {
        for (const char* image : {kZombieImage, kWoundedImage, kMaimedImage}) {
            const std::vector<Placed> drawn = DrawnAt(image);
            if (!drawn.empty()) {
                return drawn.back();
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
    // The n-th of 1003 distinct points, all well away from the soldier.
    static Placed Point(int n) { return {10.0f + (n % 50) * 6.0f, 10.0f + (n / 50) * 25.0f, 0.0f}; }
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
        if (hit % 2 == 1) {
            ExpectAt(DrawnAt(kBloodImage).back(), zombie);
        }
        if (hit == 2) {
            ExpectAt(DrawnAt(kArmImage).back(), zombie);
        }
        if (hit == 5) {
            ExpectAt(DrawnAt(kHeadImage).back(), zombie);
        }
    }
    // Marks lie under the zombies and everything else.
    PlaceZombie(1, 600.0f, 150.0f);
    PlayFresh(Calm());
    const std::vector<std::string> order = Order();
    ASSERT_GE(order.size(), 7u);
    EXPECT_EQ(order[0], "gfx/dirt.jpg");
    EXPECT_EQ(order[1], kBloodImage);
    EXPECT_EQ(order[4], kArmImage);
    EXPECT_EQ(order[5], kHeadImage);
    EXPECT_EQ(order[6], kZombieImage);
}

TEST_F(Marks, EverySecondRequestBleedsAlsoWithinOneFrame) {
    for (int slot = 0; slot < 3; ++slot) {
        PlaceZombie(slot, 300.0f, 100.0f);
    }
    PlaceZombie(3, 600.0f, 100.0f);
    ShootZombie(0);
    EXPECT_EQ(Quads(kBloodImage).size(), 2u);
    ShootZombie(3);
    EXPECT_EQ(Quads(kBloodImage).size(), 2u);
    ShootZombie(3);
    EXPECT_EQ(Quads(kBloodImage).size(), 3u);
}

TEST_F(Marks, FramesShorterThanTheThrottleLetFewerHitsBleed) {
    for (const float delta : {0.00005f, 0.0002f}) {
        Restart();
        for (int slot = 0; slot < 4; ++slot) {
            PlaceZombie(slot, 300.0f, 100.0f);
        }
        LaunchAt(0, 300.0f, 100.0f);
        PlayFresh(Calm({}, delta));
        // Four hits: a splat, then the tiny deltas do not add up to the threshold again.
        EXPECT_EQ(Quads(kBloodImage).size(), delta < 0.0002f ? 1u : 2u) << delta;
    }
}

TEST_F(Marks, TheBloodRingReusesSlot0TwiceWhenItComesRound) {
    auto place = [](const Placed& p) {
        SpawnBlood(p.x, p.y, p.angle, kFrame);  // places
        SpawnBlood(p.x, p.y, p.angle, kFrame);  // only runs the throttle
    };
    for (int n = 0; n < 1000; ++n) {
        place(Point(n));
    }
    PlayFresh(Calm());
    ASSERT_EQ(Quads(kBloodImage).size(), 1000u);
    ExpectAt(DrawnAt(kBloodImage)[0], Point(0));

    place(Point(1000));
    PlayFresh(Calm());
    ExpectAt(DrawnAt(kBloodImage)[0], Point(1000));
    ExpectAt(DrawnAt(kBloodImage)[1], Point(1));

    place(Point(1001));
    PlayFresh(Calm());
    ExpectAt(DrawnAt(kBloodImage)[0], Point(1001));
    ExpectAt(DrawnAt(kBloodImage)[1], Point(1));

    place(Point(1002));
    PlayFresh(Calm());
    ASSERT_EQ(Quads(kBloodImage).size(), 1000u);
    ExpectAt(DrawnAt(kBloodImage)[0], Point(1001));
    ExpectAt(DrawnAt(kBloodImage)[1], Point(1002));
    ExpectAt(DrawnAt(kBloodImage)[2], Point(2));
}

TEST_F(Marks, TheGoreRingWrapsLikewiseAndUnknownKindsLieInvisible) {
    auto place = [](GoreKind kind, const Placed& p) {
        SpawnGore(kind, p.x, p.y, p.angle, kFrame);
        SpawnGore(kind, p.x, p.y, p.angle, kFrame);
    };
    for (int n = 0; n < 1000; ++n) {
        place(kArm, Point(n));
    }
    place(kHead, Point(1000));
    PlayFresh(Calm());
    ASSERT_EQ(Quads(kHeadImage).size(), 1u);
    ExpectAt(DrawnAt(kHeadImage)[0], Point(1000));
    ASSERT_EQ(Quads(kArmImage).size(), 999u);
    ExpectAt(DrawnAt(kArmImage)[0], Point(1));

    place(kArm, Point(1001));
    PlayFresh(Calm());
    EXPECT_TRUE(Quads(kHeadImage).empty());
    ExpectAt(DrawnAt(kArmImage)[0], Point(1001));
    ExpectAt(DrawnAt(kArmImage)[1], Point(1));

    place(static_cast<GoreKind>(3), Point(1002));
    PlayFresh(Calm());
    ASSERT_EQ(Quads(kArmImage).size(), 999u);
    ExpectAt(DrawnAt(kArmImage)[0], Point(1001));
    ExpectAt(DrawnAt(kArmImage)[1], Point(2));
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
