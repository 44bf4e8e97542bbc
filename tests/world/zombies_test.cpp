// Zombies as the player meets them: groaning in from a corner on the spawn timer, closing in on
// the soldier and biting him.
#include <cmath>

#include "app/game.h"
#include "support/world_fixture.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

using test::Frame;

class Spawning : public WorldTest {
  protected:
    std::vector<int> GroanFrames(int count) {
        return FramesWhere(
            count, [](int) { return Calm(); }, [this] { return CountSound(kGroan) > 0; });
    }
};

TEST_F(Spawning, AZombieGroansInAtTheCornerEvery31FramesAtLevel1) {
    PlayFresh(Calm());
    ASSERT_EQ(Sounds().size(), 1u);
    EXPECT_EQ(Sounds()[0].file, kGroan);
    EXPECT_EQ(Sounds()[0].volume, 10);
    EXPECT_EQ(Sounds()[0].pan, 0);
    EXPECT_FALSE(Sounds()[0].loop);
    // Drawn in its spawn frame, before it has chased, on the corner's point.
    ASSERT_EQ(DrawnAt(kZombieImage).size(), 1u);
    EXPECT_FLOAT_EQ(DrawnAt(kZombieImage)[0].x, -25.0f);
    EXPECT_FLOAT_EQ(DrawnAt(kZombieImage)[0].y, -25.0f);

    EXPECT_EQ(GroanFrames(99), (std::vector<int>{31, 62, 93}));
    EXPECT_EQ(DrawnAt(kZombieImage).size(), 4u);
}

TEST_F(Spawning, ALiveZombieInTheNextSlotStallsTheSpawnerSilently) {
    PlaceZombie(0, 100.0f, 100.0f, 20);
    EXPECT_EQ(GroanFrames(40), std::vector<int>{});
    EXPECT_EQ(DrawnAt(kZombieImage).size(), 1u);

    // Shot dead in frame 41: the attempts of frames 1 and 32 each set the timer back, so the
    // slot is taken again at the attempt of frame 63, not at once.
    ShootZombie(0, {20});
    EXPECT_EQ(CountSound(kKillSound), 1);
    EXPECT_EQ(GroanFrames(30), std::vector<int>{22});
    ASSERT_EQ(DrawnAt(kZombieImage).size(), 1u);
}

TEST_F(Spawning, AfterSlot99OneAttemptOnlyTurnsTheCursorBack) {
    zombieSpawnCursor = 99;  // as if 99 zombies had come in
    PlayFresh(Calm());
    EXPECT_EQ(CountSound(kGroan), 1);
    EXPECT_EQ(GroanFrames(30), std::vector<int>{});
    // Frame 32 is the attempt that turns the cursor back: silent.
    PlayFresh(Calm());
    EXPECT_EQ(CountSound(kGroan), 0);
    EXPECT_EQ(GroanFrames(30), std::vector<int>{});
    // Frame 63 fills slot 0, which is drawn under the zombie of slot 99.
    Frame fromCorner2 = test::WithSpawnDraws(
        test::MakeFrame(), 2, {-25.0f, -25.0f, 830.0f, 640.0f, -25.0f, 625.0f, 825.0f, -25.0f});
    PlayFresh(fromCorner2);
    EXPECT_EQ(CountSound(kGroan), 1);
    const std::vector<Placed> drawn = DrawnAt(kZombieImage);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_FLOAT_EQ(drawn[0].x, 830.0f);
    EXPECT_FLOAT_EQ(drawn[0].y, 640.0f);
    EXPECT_LT(drawn[1].x, 400.0f);
}

TEST_F(Spawning, HigherLevelsShortenTheInterval) {
    level = 2;
    EXPECT_EQ(GroanFrames(40), (std::vector<int>{1, 17, 33}));
    Restart();
    level = 3;
    EXPECT_EQ(GroanFrames(30), (std::vector<int>{1, 12, 23}));
}

TEST_F(Spawning, TheTimerKeepsItsTimeThroughALevelUp) {
    EXPECT_EQ(GroanFrames(21), std::vector<int>{1});
    // 0.35 s into the wait when the tenth kill of the level lands.
    kills = 10;
    PlayFresh(Calm());
    ASSERT_TRUE(ShowsLine(kLevelUpLine));
    EXPECT_EQ(GroanFrames(100), std::vector<int>{});
    PlayFresh(Pressing(HGEK_ENTER));
    EXPECT_EQ(CountSound(kGroan), 0);
    // The first frame of level 2 finds 0.35 s past the new 0.25 s interval.
    PlayFresh(Calm());
    EXPECT_EQ(CountSound(kGroan), 1);
}

class Chasing : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        HoldSpawner();
    }
    Placed Zombie() const {
        const std::vector<Placed> drawn = DrawnAt(kZombieImage);
        EXPECT_EQ(drawn.size(), 1u);
        return drawn.empty() ? Placed{} : drawn[0];
    }
};

TEST_F(Chasing, ZombiesCloseInExponentiallyAlongTheStraightLine) {
    PlaceZombie(0, 600.0f, 450.0f);
    PlayFresh(Calm());
    Placed before = Zombie();
    for (int n = 2; n <= 240; ++n) {
        PlayFresh(Calm());
        const Placed now = Zombie();
        // Turned toward the soldier from where it stood before the step.
        const double facing = std::atan2(before.y - 300.0, before.x - 400.0) + 1.6;
        EXPECT_NEAR(std::cos(now.angle), std::cos(facing), 1e-4);
        EXPECT_NEAR(std::sin(now.angle), std::sin(facing), 1e-4);
        // Each axis keeps (1 - dt / 2) of its distance.
        const double kept = std::pow(1.0 - kFrame / 2.0, n);
        EXPECT_NEAR(now.x - 400.0, 200.0 * kept, 2e-3) << "frame " << n;
        EXPECT_NEAR(now.y - 300.0, 150.0 * kept, 2e-3) << "frame " << n;
        before = now;
    }
    // Two seconds (the time constant at level 1) leave about 1/e of the way.
    EXPECT_NEAR((before.x - 400.0) / 200.0, std::exp(-2.0), 0.01);
}

TEST_F(Chasing, AZombieLevelWithTheSoldierOnAnAxisDoesNotMoveAlongIt) {
    PlaceZombie(0, 400.0f, 500.0f);
    for (int n = 1; n <= 60; ++n) {
        PlayFresh(Calm());
        EXPECT_EQ(Zombie().x, 400.0f);
    }
    EXPECT_NEAR(Zombie().y, 300.0 + 200.0 * std::pow(1.0 - kFrame / 2.0, 60), 2e-3);
}

TEST_F(Chasing, FasterLevelsAndLongFramesStepOntoTheSoldierButNeverPastHim) {
    PlaceZombie(0, 600.0f, 450.0f);
    PlayFresh(Calm({}, 1.0f));  // half the way
    EXPECT_FLOAT_EQ(Zombie().x, 500.0f);
    EXPECT_FLOAT_EQ(Zombie().y, 375.0f);

    PlayFresh(Calm({}, 3.0f));  // would carry it half the distance beyond him
    EXPECT_NEAR(Zombie().x, 400.0f, 1e-3);
    EXPECT_NEAR(Zombie().y, 300.0f, 1e-3);
    // Still facing the way it came from.
    const double facing = std::atan2(75.0, 100.0) + 1.6;
    EXPECT_NEAR(Zombie().angle, facing, 1e-4);

    PlaceZombie(0, 100.0f, 50.0f);
    level = 5;
    for (int n = 0; n < 2; ++n) {
        PlayFresh(Calm({}, 0.5f));
        EXPECT_NEAR(Zombie().x, 400.0f, 1e-3);
        EXPECT_NEAR(Zombie().y, 300.0f, 1e-3);
    }
}

class Biting : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        HoldSpawner();
    }
    std::vector<int> BiteFrames(int count) {
        int health = soldier->HealthRef();
        return FramesWhere(
            count, [](int) { return Calm(); },
            [this, &health] {
                const int shown = HealthShown();
                const bool bitten = shown < health;
                health = shown;
                return bitten;
            });
    }
};

TEST_F(Biting, OnlyAZombieCloserThan25PixelsOnBothAxesBites) {
    for (const Around& c : kContactCases) {
        Restart();
        biteTimer = 1.0f;  // a bite is due at the next contact
        PlaceZombie(0, c.x, c.y);
        // Frames of no length: nothing moves, the bite timer does not run.
        PlayN(Calm({}, 0.0f), 5);
        PlayFresh(Calm({}, 0.0f));
        EXPECT_EQ(HealthShown(), c.touching ? 90 : 100) << c.x << ", " << c.y;
    }
}

TEST_F(Biting, OneZombieBitesFirstOnThe32ndFrameAndThenEvery62nd) {
    PlaceZombie(0, 400.0f, 300.0f);
    EXPECT_EQ(BiteFrames(300), (std::vector<int>{32, 94, 156, 218, 280}));
    EXPECT_EQ(HealthShown(), 50);
}

TEST_F(Biting, TwoZombiesBiteTwiceAsOften) {
    PlaceZombie(0, 400.0f, 300.0f);
    const std::size_t one = BiteFrames(250).size();
    Restart();
    PlaceZombie(0, 400.0f, 300.0f);
    PlaceZombie(1, 400.0f, 300.0f);
    const std::size_t two = BiteFrames(250).size();
    EXPECT_EQ(one, 4u);
    EXPECT_GE(two, 2 * one - 1);
    EXPECT_LE(two, 2 * one + 1);
}

TEST_F(Biting, APileOfZombiesBitesSeveralTimesInOneFrame) {
    // At half a second a frame every second touching zombie bites.
    for (int slot = 0; slot < 5; ++slot) {
        PlaceZombie(slot, 400.0f, 300.0f);
    }
    soldier->HealthRef() = 10;
    PlayFresh(Calm({}, 0.5f));
    EXPECT_EQ(HealthShown(), -10);
    EXPECT_EQ(DrawnAt(kZombieImage).size(), 5u);
    PlayFresh(Calm({}, 0.5f));
    EXPECT_TRUE(ShowsLine(kDeathLine));
}

TEST_F(Biting, TheBiteThatReaches0ShowsTheDeathScreenFromTheNextFrame) {
    for (int slot = 0; slot < 3; ++slot) {
        PlaceZombie(slot, 400.0f, 300.0f);
    }
    soldier->HealthRef() = 10;
    PlayFresh(Calm({}, 0.5f));
    EXPECT_EQ(HealthShown(), 0);
    EXPECT_EQ(DrawnAt(kZombieImage).size(), 3u);
    PlayFresh(Calm({}, 0.5f));
    EXPECT_TRUE(ShowsLine(kDeathLine));
    EXPECT_TRUE(DrawnAt(kZombieImage).empty());
}

}  // namespace
}  // namespace test
