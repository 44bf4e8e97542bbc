// Zombies as the player meets them: groaning in from a corner on the spawn timer, closing in on
// the soldier and biting him.
#include <cmath>
#include <utility>

#include "support/game_fixture.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

class Spawning : public GameTest {
  protected:
    std::vector<int> GroanFrames(int count) {
        return FramesWhere(
            count, [](int) { return Calm(); }, [this] { return CountSound(kGroan) > 0; });
    }
};

TEST_F(Spawning, AZombieGroansInAtTheCornerEvery31FramesAtLevel1AndFasterLater) {
    PlayFresh(Calm());
    EXPECT_EQ(Sounds(), (std::vector<Sound>{{kGroan, 10, 0, 1.0f, false}}));
    // Drawn in its spawn frame, before it has chased, on the corner's point.
    ASSERT_EQ(DrawnAt(kZombieImage).size(), 1u);
    EXPECT_FLOAT_EQ(DrawnAt(kZombieImage)[0].x, -25.0f);
    EXPECT_FLOAT_EQ(DrawnAt(kZombieImage)[0].y, -25.0f);
    EXPECT_EQ(GroanFrames(99), (std::vector<int>{31, 62, 93}));
    EXPECT_EQ(DrawnAt(kZombieImage).size(), 4u);

    Restart();
    level = 2;
    EXPECT_EQ(GroanFrames(40), (std::vector<int>{1, 17, 33}));
    Restart();
    level = 3;
    EXPECT_EQ(GroanFrames(30), (std::vector<int>{1, 12, 23}));
}

TEST_F(Spawning, ALiveZombieInTheNextSlotStallsTheSpawnerSilently) {
    PlaceZombie(0, 100.0f, 100.0f, 20);
    EXPECT_EQ(GroanFrames(40), std::vector<int>{});
    // Shot dead in frame 41: the attempts of frames 1 and 32 each set the timer back, so the
    // slot is taken again at the attempt of frame 63, not at once.
    ShootZombie(0, {20});
    EXPECT_EQ(CountSound(kKillSound), 1);
    EXPECT_EQ(GroanFrames(30), std::vector<int>{22});
}

TEST_F(Spawning, AfterSlot99OneAttemptOnlyTurnsTheCursorBack) {
    zombieSpawnCursor = 99;  // as if 99 zombies had come in
    EXPECT_EQ(GroanFrames(62), std::vector<int>{1});
    // Frame 32 was the silent attempt that turned the cursor back; frame 63 fills slot 0, drawn
    // under the zombie of slot 99.
    PlayFresh(FromCorner(2, {-25.0f, -25.0f, 830.0f, 640.0f, -25.0f, 625.0f, 825.0f, -25.0f}));
    EXPECT_EQ(CountSound(kGroan), 1);
    const std::vector<Placed> drawn = DrawnAt(kZombieImage);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_FLOAT_EQ(drawn[0].x, 830.0f);
    EXPECT_FLOAT_EQ(drawn[0].y, 640.0f);
    EXPECT_LT(drawn[1].x, 400.0f);
}

using Chasing = QuietGameTest;

TEST_F(Chasing, ZombiesCloseInExponentiallyAlongTheStraightLine) {
    PlaceZombie(0, 600.0f, 450.0f);
    PlaceZombie(1, 400.0f, 500.0f);  // level with the soldier on x
    PlayFresh(Calm());
    Placed before = DrawnAt(kZombieImage)[0];
    for (int n = 2; n <= 240; ++n) {
        PlayFresh(Calm());
        const Placed now = DrawnAt(kZombieImage)[0];
        // Turned toward the soldier from where it stood before the step.
        const double facing = std::atan2(before.y - 300.0, before.x - 400.0) + 1.6;
        EXPECT_NEAR(std::cos(now.angle), std::cos(facing), 1e-4);
        EXPECT_NEAR(std::sin(now.angle), std::sin(facing), 1e-4);
        // Each axis keeps (1 - dt / 2) of its distance.
        const double kept = std::pow(1.0 - kFrame / 2.0, n);
        EXPECT_NEAR(now.x - 400.0, 200.0 * kept, 2e-3) << "frame " << n;
        EXPECT_NEAR(now.y - 300.0, 150.0 * kept, 2e-3) << "frame " << n;
        EXPECT_EQ(DrawnAt(kZombieImage)[1].x, 400.0f);
        before = now;
    }
    // Two seconds (the time constant at level 1) leave about 1/e of the way.
    EXPECT_NEAR((before.x - 400.0) / 200.0, std::exp(-2.0), 0.01);
}

TEST_F(Chasing, FasterLevelsAndLongFramesStepOntoTheSoldierButNeverPastHim) {
    PlaceZombie(0, 600.0f, 450.0f);
    PlayFresh(Calm({}, 1.0f));  // half the way
    EXPECT_FLOAT_EQ(DrawnAt(kZombieImage)[0].x, 500.0f);
    EXPECT_FLOAT_EQ(DrawnAt(kZombieImage)[0].y, 375.0f);
    PlayFresh(Calm({}, 3.0f));  // would carry it half the distance beyond him
    EXPECT_NEAR(DrawnAt(kZombieImage)[0].x, 400.0f, 1e-3);
    EXPECT_NEAR(DrawnAt(kZombieImage)[0].y, 300.0f, 1e-3);
    // Still facing the way it came from.
    EXPECT_NEAR(DrawnAt(kZombieImage)[0].angle, std::atan2(75.0, 100.0) + 1.6, 1e-4);

    PlaceZombie(0, 100.0f, 50.0f);
    level = 5;
    for (int n = 0; n < 2; ++n) {
        PlayFresh(Calm({}, 0.5f));
        EXPECT_NEAR(DrawnAt(kZombieImage)[0].x, 400.0f, 1e-3);
        EXPECT_NEAR(DrawnAt(kZombieImage)[0].y, 300.0f, 1e-3);
    }
}

using Biting = QuietGameTest;

TEST_F(Biting, OnlyAZombieOrPickupCloserThan25PixelsOnBothAxesTouchesTheSoldier) {
    // Points around the soldier at (400, 300), on and just inside the contact box.
    struct Around {
        float x, y;
        bool touching;
    };
    for (const Around& c : {Around{424.9f, 300.0f, true}, Around{425.0f, 300.0f, false},
                            Around{375.1f, 275.1f, true}, Around{400.0f, 275.0f, false},
                            Around{375.0f, 300.0f, false}, Around{400.0f, 324.9f, true},
                            Around{375.1f, 324.9f, true}, Around{424.9f, 325.0f, false}}) {
        Restart();
        soldier->HealthRef() = 50;
        biteTimer = 1.0f;  // a bite is due at the next contact
        PlaceZombie(0, c.x, c.y);
        // Frames of no length: nothing moves, the bite timer does not run.
        PlayN(Calm({}, 0.0f), 5);
        EXPECT_EQ(HealthShown(), c.touching ? 40 : 50) << c.x << ", " << c.y;
        zombies[0]->Deactivate();
        soldier->HealthRef() = 50;
        LoadRolls({kHealthPickup});
        DropPickup(c.x, c.y, 0.0f, &engine);
        PlayFresh(Calm({}, 0.0f));
        EXPECT_EQ(HealthShown(), c.touching ? 60 : 50) << c.x << ", " << c.y;
        PlayFresh(Calm({}, 0.0f));
        EXPECT_EQ(Quads(kHealthImage).size(), c.touching ? 0u : 1u) << c.x << ", " << c.y;
    }
}

TEST_F(Biting, OneZombieBitesFirstOnThe32ndFrameAndThenEvery62nd) {
    PlaceZombie(0, 400.0f, 300.0f);
    int health = 100;
    const std::vector<int> bites = FramesWhere(
        300, [](int) { return Calm(); },
        [this, &health] { return std::exchange(health, HealthShown()) > HealthShown(); });
    EXPECT_EQ(bites, (std::vector<int>{32, 94, 156, 218, 280}));
    EXPECT_EQ(HealthShown(), 50);
}

}  // namespace
}  // namespace test
