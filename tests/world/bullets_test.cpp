#include <vector>

#include "app/game.h"
#include "support/game_fixture.h"
#include "world/bullet.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

class BulletsTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        zombieSpawnTimer = -1.0e9f;  // nothing for the bullets to hit
    }

    // Fires one pistol shot at the mouse position with the given frame delta, so the bullet
    // takes that delta with it; returns where the bullet was drawn in the frame it left.
    hgeVertex FireAt(float mouseX, float mouseY, float delta) {
        const Frame trigger = MakeFrame(delta, mouseX, mouseY, {HGEK_LBUTTON});
        for (int frame = 0; frame < 60; ++frame) {
            PlayFresh(trigger);
            if (CountSound("sfx/colt1911-fire.wav") + CountSound("sfx/mp5-fire.wav") > 0) {
                const std::vector<hgeQuad> drawn = Quads("gfx/mermi1.png");
                EXPECT_FALSE(drawn.empty());
                return drawn.empty() ? hgeVertex{} : drawn.back().v[0];
            }
        }
        ADD_FAILURE() << "no shot";
        return {};
    }

    // The streak's top-left corner, where the newest bullet is drawn this frame.
    std::vector<float> FlightX(int frames, float mouseX, float mouseY) {
        std::vector<float> xs;
        for (int frame = 0; frame < frames; ++frame) {
            PlayFresh(MakeFrame(1.0f / 60.0f, mouseX, mouseY));
            const std::vector<hgeQuad> drawn = Quads("gfx/mermi1.png");
            xs.push_back(drawn.empty() ? -1.0f : drawn.back().v[0].x);
            EXPECT_EQ(drawn.empty() ? 0.0f : drawn.back().v[0].y, 300.0f);
        }
        return xs;
    }
};

TEST_F(BulletsTest, AShotAtAStableFrameRateRestsExactlyOnItsStopLine) {
    const hgeVertex start = FireAt(500, 300, 0.02f);
    // Drawn at the soldier in the frame it is fired; it moves from the next frame on, by a
    // hundred pixels a frame whatever the later frames last, and stops 1000 past the aim.
    EXPECT_EQ(start.x, 400.0f);
    EXPECT_EQ(start.y, 300.0f);
    const std::vector<float> xs = FlightX(12, 500, 300);
    const std::vector<float> expected = {500,  600,  700,  800,  900,  1000,
                                         1100, 1200, 1300, 1400, 1500, 1500};
    EXPECT_EQ(xs, expected);
}

TEST_F(BulletsTest, AShotAtSixtyFramesASecondRestsShortOfItsStopLineStillFlying) {
    FireAt(500, 300, 1.0f / 60.0f);
    const std::vector<float> xs = FlightX(40, 500, 300);
    EXPECT_NEAR(xs[0], 483.333f, 1e-3);
    EXPECT_NEAR(xs[12], 1483.333f, 1e-2);
    for (std::size_t frame = 13; frame < xs.size(); ++frame) {
        EXPECT_NEAR(xs[frame], xs[12], 1e-3) << frame;
    }
    EXPECT_TRUE(bullets[0]->ActiveRef());
}

TEST_F(BulletsTest, TheFiftyFirstShotRelaunchesTheFirstBullet) {
    soldier->WeaponRef() = kSubmachineGun;
    for (int shot = 0; shot < 50; ++shot) {
        FireAt(500, 300, 0.15f);
    }
    EXPECT_EQ(bulletCursor, 0);
    EXPECT_EQ(Quads("gfx/mermi1.png").size(), 50u);
    EXPECT_NE(Quads("gfx/mermi1.png").front().v[0].x, 400.0f);

    FireAt(400, 100, 0.15f);
    // Still 50 bullets in the air; the first one drawn is the new one, at the soldier.
    const std::vector<hgeQuad> drawn = Quads("gfx/mermi1.png");
    ASSERT_EQ(drawn.size(), 50u);
    EXPECT_EQ(drawn.front().v[0].x, 400.0f);
    EXPECT_EQ(drawn.front().v[0].y, 300.0f);
    EXPECT_EQ(bulletCursor, 1);
}

}  // namespace
}  // namespace test
