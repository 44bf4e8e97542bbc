#include <vector>

#include "app/frame.h"
#include "app/game.h"
#include "support/game_fixture.h"
#include "world/bullet.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

using FrameUpdateTest = GameTest;

// Keeps zombies from entering, for tests about the soldier alone.
void StopSpawning() {
    zombieSpawnTimer = -1.0e9f;
}

TEST_F(FrameUpdateTest, ReseedsWithTheWholeSecondsOfThePreviousFrame) {
    Play(MakeFrame(0.99f));
    Play(MakeFrame(1.5f));
    Play(MakeFrame(2.0f));
    Play(MakeFrame());
    // The first frame passes the start value 0; then 0.99 s, 1.5 s and 2.0 s truncated.
    EXPECT_EQ(engine.seeds, (std::vector<int>{0, 0, 1, 2}));
}

TEST_F(FrameUpdateTest, DrawsTheCornerAndAllEightSpawnCoordinatesEveryFrameInEveryState) {
    const std::vector<std::pair<float, float>> expected = {
        {-50, 0}, {-50, 0}, {800, 850}, {600, 650}, {-50, 0}, {600, 650}, {800, 850}, {-50, 0}};
    for (int state = 0; state < 3; ++state) {
        levelUpShown = state == 1;
        soldierDead = state == 2;
        engine.ClearRecords();
        Play(MakeFrame());
        EXPECT_EQ(engine.floatRanges, expected) << "state " << state;
        ASSERT_FALSE(engine.intRanges.empty());
        EXPECT_EQ(engine.intRanges.front(), (std::pair<int, int>{1, 4}));
    }
}

TEST_F(FrameUpdateTest, ZombiesEnterAtTheScriptedPointOfTheDrawnCorner) {
    const std::array<float, 8> points = {-10, -20, 810, 620, -30, 640, 840, -40};
    for (int corner = 1; corner <= 4; ++corner) {
        zombieSpawnTimer = 0.5f;  // ready: this frame's spawn attempt lets one in
        PlayFresh(WithSpawnDraws(MakeFrame(), corner, points));
        const std::vector<hgeQuad> drawn = Quads("gfx/zombi1.png");
        ASSERT_EQ(drawn.size(), static_cast<std::size_t>(corner));
        // The newest zombie is drawn last, before its first chase: its hot spot is (25, 25).
        const hgeQuad& newest = drawn.back();
        const float expectedX = points[2 * (corner - 1)];
        const float expectedY = points[2 * (corner - 1) + 1];
        EXPECT_NEAR(newest.v[0].x + 25, expectedX, 1e-3) << corner;
        EXPECT_NEAR(newest.v[0].y + 25, expectedY, 1e-3) << corner;
        EXPECT_EQ(CountSound("sfx/zombie.mp3"), 1);
    }
}

TEST_F(FrameUpdateTest, TheSpawnPointIsAlwaysJustOutsideTheDrawnCorner) {
    // The engine's own generator draws; every frame's point for its corner must lie 0 to 50
    // pixels outside the screen on both axes.
    for (int frame = 0; frame < 300; ++frame) {
        Play(MakeFrame());
        ASSERT_GE(spawnCorner, 1);
        ASSERT_LE(spawnCorner, 4);
        const SpawnPoint& p = spawnPoints[spawnCorner - 1];
        const bool left = spawnCorner == 1 || spawnCorner == 3;
        const bool top = spawnCorner == 1 || spawnCorner == 4;
        EXPECT_TRUE(left ? (p.x >= -50 && p.x <= 0) : (p.x >= 800 && p.x <= 850)) << p.x;
        EXPECT_TRUE(top ? (p.y >= -50 && p.y <= 0) : (p.y >= 600 && p.y <= 650)) << p.y;
    }
}

TEST_F(FrameUpdateTest, EscapeQuitsFromEveryScreen) {
    for (int state = 0; state < 3; ++state) {
        levelUpShown = state == 1;
        soldierDead = state == 2;
        EXPECT_FALSE(Play(MakeFrame())) << state;
        EXPECT_TRUE(Play(MakeFrame(0.016f, 400, 300, {}, HGEK_ESCAPE))) << state;
    }
}

TEST_F(FrameUpdateTest, EnterOnlyLeavesTheLevelUpScreen) {
    StopSpawning();
    Play(MakeFrame(0.1f, 400, 300, {}, HGEK_ENTER));
    EXPECT_FALSE(levelUpShown);
    EXPECT_FALSE(soldierDead);

    soldierDead = true;
    EXPECT_FALSE(Play(MakeFrame(0.1f, 400, 300, {}, HGEK_ENTER)));
    EXPECT_TRUE(soldierDead);
}

TEST_F(FrameUpdateTest, TheLevelUpScreenFreezesTheUpdateUntilEnter) {
    StopSpawning();
    levelUpShown = true;
    const Frame holding = MakeFrame(0.3f, 600, 300, {HGEK_LBUTTON, HGEK_W, HGEK_2});
    engine.ClearRecords();
    PlayN(holding, 5);
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(soldier->YRef(), 300.0f);
    EXPECT_EQ(soldier->WeaponRef(), kPistol);
    EXPECT_EQ(pistolFireTimer, 0.25f);

    // Enter brings the scene back in the same frame; the update itself waits for the next.
    Frame enter = holding;
    enter.pressed = HGEK_ENTER;
    PlayFresh(enter);
    EXPECT_FALSE(levelUpShown);
    EXPECT_EQ(Quads("gfx/asker1.png").size(), 1u);
    EXPECT_EQ(soldier->YRef(), 300.0f);

    PlayFresh(holding);
    EXPECT_FLOAT_EQ(soldier->YRef(), 270.0f);
    EXPECT_EQ(soldier->WeaponRef(), kSubmachineGun);
}

TEST_F(FrameUpdateTest, WalkingStopsOneStepPastTheEdges) {
    StopSpawning();
    // W stops once y is no longer above 0; S still brings him back.
    soldier->YRef() = 0.5f;
    Play(MakeFrame(0.1f, 400, 300, {HGEK_W}));
    EXPECT_FLOAT_EQ(soldier->YRef(), -9.5f);
    Play(MakeFrame(0.1f, 400, 300, {HGEK_W}));
    EXPECT_FLOAT_EQ(soldier->YRef(), -9.5f);
    Play(MakeFrame(0.1f, 400, 300, {HGEK_S}));
    EXPECT_FLOAT_EQ(soldier->YRef(), 0.5f);

    // Exactly on the bound counts as reached.
    soldier->YRef() = 0.0f;
    Play(MakeFrame(0.1f, 400, 300, {HGEK_W}));
    EXPECT_EQ(soldier->YRef(), 0.0f);
    soldier->XRef() = 800.0f;
    Play(MakeFrame(0.1f, 400, 300, {HGEK_D}));
    EXPECT_EQ(soldier->XRef(), 800.0f);
    soldier->XRef() = 0.0f;
    Play(MakeFrame(0.1f, 400, 300, {HGEK_A}));
    EXPECT_EQ(soldier->XRef(), 0.0f);
    soldier->YRef() = 600.0f;
    Play(MakeFrame(0.1f, 400, 300, {HGEK_S}));
    EXPECT_EQ(soldier->YRef(), 600.0f);
}

TEST_F(FrameUpdateTest, DiagonalsAreNotNormalisedAndOppositeKeysCancel) {
    StopSpawning();
    Play(MakeFrame(0.1f, 400, 300, {HGEK_W, HGEK_D}));
    EXPECT_FLOAT_EQ(soldier->XRef(), 410.0f);
    EXPECT_FLOAT_EQ(soldier->YRef(), 290.0f);
    Play(MakeFrame(0.1f, 400, 300, {HGEK_W, HGEK_S, HGEK_A}));
    EXPECT_NEAR(soldier->YRef(), 290.0f, 1e-4);
    EXPECT_FLOAT_EQ(soldier->XRef(), 400.0f);
}

TEST_F(FrameUpdateTest, WeaponKeysChangeTheSoldiersImageAndBothKeysGiveTheSubmachineGun) {
    StopSpawning();
    PlayFresh(MakeFrame(0.1f, 400, 300, {HGEK_1, HGEK_2}));
    EXPECT_EQ(soldier->WeaponRef(), kSubmachineGun);
    EXPECT_EQ(Quads("gfx/asker2.png").size(), 1u);
    EXPECT_EQ(Quads("gfx/silah2.png").size(), 1u);
    EXPECT_TRUE(Quads("gfx/asker1.png").empty());

    PlayFresh(MakeFrame(0.1f, 400, 300, {HGEK_1}));
    EXPECT_EQ(Quads("gfx/asker1.png").size(), 1u);
    EXPECT_EQ(Quads("gfx/silah1.png").size(), 1u);
}

TEST_F(FrameUpdateTest, TheSoldierFacesTheMouse) {
    StopSpawning();
    struct Case {
        float mouseX, mouseY, angle;
    };
    // Right, left, below, above: pi + 1.6, 1.6, 1.6 - pi/2, pi/2 + 1.6.
    for (const Case& c : {Case{500, 300, 4.7416f}, Case{300, 300, 1.6f}, Case{400, 400, 0.0292f},
                          Case{400, 200, 3.1708f}}) {
        Play(MakeFrame(0.0f, c.mouseX, c.mouseY));
        EXPECT_NEAR(soldier->AngleRef(), c.angle, 1e-4) << c.mouseX << "," << c.mouseY;
    }
}

}  // namespace
}  // namespace test
