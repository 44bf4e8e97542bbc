#include <string>
#include <vector>

#include "app/game.h"
#include "app/resources.h"
#include "app/startup.h"
#include "support/game_fixture.h"

namespace test {
namespace {

// These tests run the start-up themselves.
class StartUpTest : public GameTest {
  protected:
    bool StartsGame() const override { return false; }

    // The calls the game makes itself; the font's own file handling is its business.
    std::vector<std::string> GameCalls() const {
        std::vector<std::string> out;
        for (const std::string& call : engine.calls) {
            if (call != "Resource_Free" && call != std::string("Texture_Load ") + kFontTexture) {
                out.push_back(call);
            }
        }
        return out;
    }
};

const std::vector<std::string> kStates = {
    "System_SetState 8",       "System_SetState 9",      "System_SetState 7 false",
    "System_SetState 1 false", "System_SetState 4 true", "System_SetState 17 800",
    "System_SetState 18 600",
};

TEST_F(StartUpTest, LoadsEverythingInOrderAndRunsTheLoop) {
    std::vector<std::string> expected = kStates;
    expected.push_back("System_Initiate");
    for (const Asset& asset : AssetTable()) {
        if (asset.kind == AssetKind::kImage) {
            expected.push_back(std::string("Texture_Load ") + asset.path);
        }
    }
    for (const Asset& asset : AssetTable()) {
        if (asset.kind == AssetKind::kEffect) {
            expected.push_back(std::string("Effect_Load ") + asset.path);
        }
    }
    expected.insert(expected.end(),
                    {"Stream_Load sfx/zombie_muzik.mp3", "Resource_Load gfx/durvan.fnt",
                     "Stream_Play", "System_Start", "System_Shutdown", "Release"});

    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(GameCalls(), expected);

    int streams = 0;
    for (const Event& e : engine.events) {
        if (e.kind == Event::Stream) {
            ++streams;
            EXPECT_EQ(e.text, "sfx/zombie_muzik.mp3");
            EXPECT_TRUE(e.loop);
            EXPECT_EQ(e.volume, 25);
        }
    }
    EXPECT_EQ(streams, 1);
}

TEST_F(StartUpTest, WithoutAnEngineNothingIsLoadedAndNoCallbackRuns) {
    engine.initiateResult = false;
    engine.script.push_back(MakeFrame());

    EXPECT_EQ(RunGame(), 0);

    std::vector<std::string> expected = kStates;
    expected.insert(expected.end(),
                    {"System_Initiate", "System_Start", "System_Shutdown", "Release"});
    EXPECT_EQ(engine.calls, expected);
    EXPECT_EQ(engine.frameFuncCalls, 0);
    EXPECT_EQ(engine.renderFuncCalls, 0);
    EXPECT_EQ(::soldier, nullptr);
}

TEST_F(StartUpTest, EscapeOnTheFirstFrameEndsTheProgram) {
    engine.script.push_back(MakeFrame(0.0f, 400, 300, {}, HGEK_ESCAPE));
    engine.script.push_back(MakeFrame());

    EXPECT_EQ(RunGame(), 0);

    EXPECT_EQ(engine.frameFuncCalls, 1);
    ASSERT_GE(engine.calls.size(), 3u);
    const std::vector<std::string> tail(engine.calls.end() - 3, engine.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"System_Start", "System_Shutdown", "Release"}));
    // The one frame played was drawn: the ground and the soldier in the middle.
    ASSERT_EQ(QuadsOf(engine, "gfx/dirt.jpg").size(), 1u);
    const std::vector<hgeQuad> soldier = QuadsOf(engine, "gfx/asker1.png");
    ASSERT_EQ(soldier.size(), 1u);
    EXPECT_FLOAT_EQ((soldier[0].v[0].x + soldier[0].v[2].x) / 2, 400.0f);
    EXPECT_FLOAT_EQ((soldier[0].v[0].y + soldier[0].v[2].y) / 2, 300.0f);
}

}  // namespace
}  // namespace test
