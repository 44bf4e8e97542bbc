#include <string>
#include <vector>

#include "app/frame.h"
#include "app/game.h"
#include "app/scene.h"
#include "support/game_fixture.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

const std::string kKillsLine = Label(kKillsAndScore, 0);

void ExpectLine(const TextLine& line, const std::string& text, float x, float y) {
    EXPECT_EQ(line.text, text);
    EXPECT_EQ(line.x, x) << text;
    EXPECT_EQ(line.y, y) << text;
}

class SceneTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        zombieSpawnTimer = -1.0e9f;  // zombies only where a test puts them
    }

    // Text a centred line of the test font starts at.
    static float CentredX(const std::string& text) {
        return 400.0f - static_cast<float>(text.size()) * kGlyphWidth / 2.0f;
    }

    void ExpectEndScreen(const std::vector<std::string>& text) {
        EXPECT_EQ(Order(), (std::vector<std::string>{"gfx/dirt.jpg", "clear 00FFFFFF", "text"}));
        const std::vector<TextLine> lines = Lines();
        ASSERT_EQ(lines.size(), text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            ExpectLine(lines[i], text[i], CentredX(text[i]),
                       300.0f + kGlyphHeight * static_cast<float>(i));
        }
    }

    void PlaceZombie(int slot, float x, float y) {
        zombies[slot]->Activate(zombieSprite);
        zombies[slot]->SetPosition(x, y);
    }
};

TEST_F(SceneTest, APlayingFrameIsDrawnInLayers) {
    // A shot in the air first, so every layer has something to show.
    Play(MakeFrame(0.3f, 600, 100, {HGEK_LBUTTON}));
    Play(MakeFrame(0.3f, 600, 100, {HGEK_LBUTTON}));
    score = 250;
    kills = 3;
    PlayFresh(MakeFrame(0.0f, 123, 456));

    EXPECT_EQ(Order(), (std::vector<std::string>{"gfx/dirt.jpg", "gfx/nisangah.png",
                                                 "gfx/asker1.png", "text", "gfx/mermi1.png",
                                                 "gfx/alt_menu.png", "gfx/silah1.png", "text"}));
    const std::vector<Drawn> drawn = DrawnQuads(engine);
    ASSERT_GE(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].x, 0.0f);
    EXPECT_EQ(drawn[0].y, 0.0f);
    // The crosshair's 10 x 10 image is centred on the mouse.
    EXPECT_EQ(drawn[1].x, 118.0f);
    EXPECT_EQ(drawn[1].y, 451.0f);
    const hgeQuad bar = Quads("gfx/alt_menu.png").at(0);
    EXPECT_EQ(bar.v[0].x, 0.0f);
    EXPECT_EQ(bar.v[0].y, 569.0f);
    EXPECT_EQ(bar.v[2].y, 600.0f);
    const hgeQuad icon = Quads("gfx/silah1.png").at(0);
    EXPECT_EQ(icon.v[0].x, 600.0f);
    EXPECT_EQ(icon.v[0].y, 575.0f);

    const std::vector<TextLine> lines = Lines();
    ASSERT_EQ(lines.size(), 5u);
    ExpectLine(lines[0], kKillsLine + "3", 10, 10);
    ExpectLine(lines[1], Label(kKillsAndScore, 1) + "250", 10, 30);
    // Reserve, health and the rounds in the selected clip on the bar.
    ExpectLine(lines[2], "1000", 60, 580);
    ExpectLine(lines[3], "100", 190, 580);
    ExpectLine(lines[4], "11", 640, 570);
}

TEST_F(SceneTest, GroundMarksPickupsAndZombiesLieUnderTheSoldier) {
    const float x = 100.0f, y = 100.0f, angle = 0.0f;
    bloodSplats[0]->Activate(x, y, angle);
    gorePieces[0]->Activate(kHead, x, y, angle);
    pickups[0]->Activate(kHealthPickup, x, y, angle);
    PlaceZombie(0, 700, 100);
    PlayFresh(MakeFrame(0.0f));
    EXPECT_EQ(Order(), (std::vector<std::string>{"gfx/dirt.jpg", "gfx/kanlar.png", "gfx/kelle1.png",
                                                 "gfx/saglik_nesne.png", "gfx/zombi1.png",
                                                 "gfx/nisangah.png", "gfx/asker1.png", "text",
                                                 "gfx/alt_menu.png", "gfx/silah1.png", "text"}));
}

TEST_F(SceneTest, TheLevelUpScreenShowsTheRunningScoreOnWhite) {
    score = 1234;
    levelUpShown = true;
    PlayFresh(MakeFrame());
    ExpectEndScreen(Printed(kLevelUpText, 1234));
}

TEST_F(SceneTest, TheKillCountRestartsAfterALevelUp) {
    kills = 10;
    score = 1000;
    PlayFresh(MakeFrame());
    ASSERT_TRUE(levelUpShown);
    ExpectEndScreen(Printed(kLevelUpText, 1000));

    PlayFresh(MakeFrame(0.1f, 400, 300, {}, HGEK_ENTER));
    const std::vector<TextLine> lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, kKillsLine + "0");
    EXPECT_EQ(lines[1].text, Label(kKillsAndScore, 1) + "1000");
}

TEST_F(SceneTest, TwoBitesInOneFrameBelowZeroKillTheSoldierFromTheNextFrame) {
    // Three zombies on him with the shared bite timer due and a one-second frame: the first
    // bites, the second winds the timer up again, the third bites: 10 - 20 = -10.
    soldier->HealthRef() = 10;
    biteTimer = 1.0f;
    for (int slot = 0; slot < 3; ++slot) {
        PlaceZombie(slot, 400, 300);
    }
    score = 700;
    PlayFresh(MakeFrame(1.0f));
    EXPECT_EQ(Quads("gfx/asker1.png").size(), 1u);
    const std::vector<TextLine> lines = Lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3].text, "-10");
    EXPECT_FALSE(soldierDead);

    PlayFresh(MakeFrame(1.0f));
    ExpectEndScreen(Printed(kDeathText, 700));

    // Death is for good: Enter changes nothing.
    PlayFresh(MakeFrame(0.1f, 400, 300, {}, HGEK_ENTER));
    ExpectEndScreen(Printed(kDeathText, 700));
}

TEST_F(SceneTest, ASoldierBelowZeroHealthIsNoLongerDrawn) {
    soldier->HealthRef() = -10;
    soldier->Aim(500.0f, 300.0f);
    engine.ClearRecords();
    soldier->Render();
    EXPECT_TRUE(engine.events.empty());
}

TEST_F(SceneTest, TheLevelUpScreenWinsOverDeathUntilEnter) {
    soldier->HealthRef() = 0;
    kills = 10;
    PlayFresh(MakeFrame());
    EXPECT_TRUE(levelUpShown);
    EXPECT_EQ(Lines().at(0).text, Label(kLevelUpText, 0));

    PlayFresh(MakeFrame(0.1f, 400, 300, {}, HGEK_ENTER));
    ExpectEndScreen(Printed(kDeathText, 0));
}

}  // namespace
}  // namespace test
