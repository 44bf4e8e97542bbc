// The frame update: the generator's seed and the spawn corner, the keys that leave and end the
// game, walking, the weapon keys and the aim.
#include <set>

#include "app/frame.h"
#include "app/game.h"
#include "support/game_fixture.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

using FrameUpdate = QuietGameTest;

TEST_F(FrameUpdate, ReseedsWithTheWholeSecondsOfThePreviousFrame) {
    for (const float delta : {0.99f, 1.5f, 2.0f, kFrame}) {
        Play(Calm({}, delta));
    }
    // The first frame passes the start value 0; then 0.99 s, 1.5 s and 2.0 s truncated.
    EXPECT_EQ(engine.seeds, (std::vector<int>{0, 0, 1, 2}));
}

TEST_F(FrameUpdate, ZombiesEnterAtTheDrawnCornersPointJustOutsideTheScreen) {
    const std::array<float, 8> points = {-10, -20, 810, 620, -30, 640, 840, -40};
    for (int corner = 1; corner <= 4; ++corner) {
        zombieSpawnTimer = 0.5f;  // ready: this frame's attempt lets one in
        PlayFresh(FromCorner(corner, points));
        // The newest zombie is drawn last, before its first chase.
        const Placed newest = DrawnAt(kZombieImage).back();
        EXPECT_NEAR(newest.x, points[2 * (corner - 1)], 1e-3) << corner;
        EXPECT_NEAR(newest.y, points[2 * (corner - 1) + 1], 1e-3) << corner;
    }
    // With the engine's own generator every corner comes up, and every frame's point for its
    // corner lies 0 to 50 pixels outside the screen on both axes.
    std::set<int> corners;
    for (int frame = 0; frame < 300; ++frame) {
        Play(Frame{});
        corners.insert(spawnCorner);
        ASSERT_TRUE(spawnCorner >= 1 && spawnCorner <= 4) << spawnCorner;
        const SpawnPoint& p = spawnPoints[spawnCorner - 1];
        const bool left = spawnCorner == 1 || spawnCorner == 3;
        const bool top = spawnCorner == 1 || spawnCorner == 4;
        ASSERT_TRUE(left ? (p.x >= -50 && p.x <= 0) : (p.x >= 800 && p.x <= 850)) << p.x;
        ASSERT_TRUE(top ? (p.y >= -50 && p.y <= 0) : (p.y >= 600 && p.y <= 650)) << p.y;
    }
    EXPECT_EQ(corners.size(), 4u);
}

TEST_F(FrameUpdate, EscapeQuitsFromEveryScreenAndEnterOnlyLeavesTheLevelUpScreen) {
    for (int state = 0; state < 3; ++state) {
        Restart();
        levelUpShown = state == 1;
        soldierDead = state == 2;
        EXPECT_FALSE(Play(Pressing(HGEK_ENTER))) << state;
        EXPECT_FALSE(levelUpShown) << state;
        EXPECT_EQ(soldierDead, state == 2);
        EXPECT_TRUE(Play(Pressing(HGEK_ESCAPE))) << state;
    }
}

TEST_F(FrameUpdate, WalkingStopsOneStepPastTheEdgesAndDiagonalsAreNotNormalised) {
    struct Case {
        float x, y;
        int key;
        float xAfter, yAfter;
    };
    // Each bound is tested before the step: inside it the soldier still steps past the edge, on
    // it he stops.
    for (const Case& c :
         {Case{400, 0.5f, HGEK_W, 400, -9.5f}, Case{400, 0, HGEK_W, 400, 0},
          Case{400, 599.5f, HGEK_S, 400, 609.5f}, Case{400, 600, HGEK_S, 400, 600},
          Case{0.5f, 300, HGEK_A, -9.5f, 300}, Case{0, 300, HGEK_A, 0, 300},
          Case{799.5f, 300, HGEK_D, 809.5f, 300}, Case{800, 300, HGEK_D, 800, 300}}) {
        soldier->XRef() = c.x;
        soldier->YRef() = c.y;
        Play(Holding({c.key}, 400, 300, 0.1f));
        EXPECT_FLOAT_EQ(soldier->XRef(), c.xAfter) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(soldier->YRef(), c.yAfter) << c.x << "," << c.y;
    }
    soldier->XRef() = 400.0f;
    soldier->YRef() = 300.0f;
    Play(Holding({HGEK_W, HGEK_D}, 400, 300, 0.1f));
    EXPECT_FLOAT_EQ(soldier->XRef(), 410.0f);
    EXPECT_FLOAT_EQ(soldier->YRef(), 290.0f);
    Play(Holding({HGEK_W, HGEK_S, HGEK_A}, 400, 300, 0.1f));
    EXPECT_NEAR(soldier->YRef(), 290.0f, 1e-4);
    EXPECT_FLOAT_EQ(soldier->XRef(), 400.0f);
}

TEST_F(FrameUpdate, TheSoldierFacesTheMouseAndTheWeaponKeysArmHim) {
    struct Case {
        float mouseX, mouseY, angle;
    };
    // Right, left, below, above: pi + 1.6, 1.6, 1.6 - pi/2, pi/2 + 1.6.
    for (const Case& c : {Case{500, 300, 4.7416f}, Case{300, 300, 1.6f}, Case{400, 400, 0.0292f},
                          Case{400, 200, 3.1708f}}) {
        Play(Holding({}, c.mouseX, c.mouseY, 0.0f));
        EXPECT_NEAR(soldier->AngleRef(), c.angle, 1e-4) << c.mouseX << "," << c.mouseY;
    }
    // Both keys give the submachine gun; the soldier's image and the bar's icon follow.
    PlayFresh(Holding({HGEK_1, HGEK_2}, 400, 300, 0.1f));
    EXPECT_EQ(Order().at(2), kSmgSoldierImage);
    EXPECT_EQ(Quads(kSmgIcon).size(), 1u);
    PlayFresh(Holding({HGEK_1}, 400, 300, 0.1f));
    EXPECT_EQ(Order().at(2), kSoldierImage);
    EXPECT_EQ(Quads(kPistolIcon).size(), 1u);
}

}  // namespace
}  // namespace test
