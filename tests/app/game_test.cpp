// The whole program played from a script through the engine's own loop.
#include <utility>

#include "app/command_line.h"
#include "app/game.h"
#include "app/startup.h"
#include "support/game_fixture.h"

namespace test {
namespace {

constexpr int kShootingFrames = 1500;
constexpr int kStandingFrames = 1500;

class WholeGame : public GameTest {
  protected:
    bool StartsGame() const override { return false; }

    // Every zombie comes from (-25, -25) and walks the straight line to the soldier at
    // (400, 300); the player holds the submachine gun's trigger aimed 60 pixels down that line,
    // so the bullets sweep it.
    static Frame Shooting() {
        return Holding({HGEK_LBUTTON, HGEK_2}, 400.0f - 60.0f * 425.0f / 535.0f,
                       300.0f - 60.0f * 325.0f / 535.0f);
    }

    // What each frame showed: the numbers after the labels, the end screens, the kill sounds.
    struct Seen {
        int kills, score, endScore, killSounds;
        bool levelUp, death;
    };
    std::vector<Seen> PerFrame() {
        std::vector<Event> all = std::move(engine.events);
        std::vector<Seen> frames;
        engine.events.clear();
        // A frame's sounds come before its scene (the update plays them), so a frame runs up
        // to and with its EndScene.
        for (const Event& event : all) {
            engine.events.push_back(event);
            if (event.kind == Event::EndScene) {
                frames.push_back({Shown(kKillsLabel), Shown(kScoreLabel), Shown(kEndScoreLabel),
                                  CountSound(kKillSound), ShowsLine(kLevelUpLine),
                                  ShowsLine(kDeathLine)});
                engine.events.clear();
            }
        }
        engine.events = std::move(all);
        return frames;
    }
};

// The player shoots the zombies coming from one corner up to the level-up, presses Enter, stops
// shooting, is bitten to death and quits with Escape.
TEST_F(WholeGame, ShootToALevelUpThenGetBittenToDeathAndQuit) {
    for (int n = 0; n < kShootingFrames; ++n) {
        engine.script.push_back(Shooting());
    }
    engine.script.push_back(Pressing(HGEK_ENTER));
    for (int n = 0; n < kStandingFrames; ++n) {
        engine.script.push_back(Calm());
    }
    engine.script.push_back(Pressing(HGEK_ESCAPE));
    engine.script.push_back(Calm());  // never played

    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(engine.framesRun, kShootingFrames + kStandingFrames + 2);
    ASSERT_GE(engine.calls.size(), 3u);
    EXPECT_EQ(engine.calls[engine.calls.size() - 3], "System_Start");
    EXPECT_EQ(engine.calls[engine.calls.size() - 2], "System_Shutdown");
    EXPECT_EQ(engine.calls.back(), "Release");
    // The music plays from the start, looping, under the effects.
    ASSERT_EQ(engine.events.at(0).kind, Event::Stream);
    EXPECT_EQ(engine.events[0].text, kMusic);
    EXPECT_TRUE(engine.events[0].loop);
    EXPECT_EQ(engine.events[0].volume, 25);

    const std::vector<Seen> frames = PerFrame();
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(engine.framesRun));
    int levelUp = -1;
    int killsSeen = 0;
    for (int n = 0; n < kShootingFrames && levelUp < 0; ++n) {
        killsSeen += frames[n].killSounds;
        if (frames[n].levelUp) {
            levelUp = n;
        } else {
            EXPECT_EQ(frames[n].kills, killsSeen) << "frame " << n + 1;
        }
    }
    ASSERT_GE(levelUp, 0) << "no level-up while shooting";
    EXPECT_EQ(killsSeen, 10);
    // Every kill with the submachine gun in hand.
    EXPECT_EQ(frames[levelUp].endScore, 500);
    EXPECT_TRUE(frames[kShootingFrames - 1].levelUp);

    const Seen& afterEnter = frames[kShootingFrames];
    EXPECT_EQ(afterEnter.kills, 0);
    EXPECT_EQ(afterEnter.score, 500);

    int death = -1;
    for (int n = kShootingFrames + 1; n < static_cast<int>(frames.size()) && death < 0; ++n) {
        if (frames[n].death) {
            death = n;
        }
    }
    ASSERT_GT(death, 0) << "the soldier outlived the zombies";
    EXPECT_EQ(frames[death].endScore, 500);
    EXPECT_TRUE(frames.back().death);
}

TEST_F(WholeGame, WithoutAnEngineNothingIsMadeAndNoFrameRuns) {
    engine.initiateResult = false;
    engine.script.push_back(Calm());
    EXPECT_EQ(RunGame(), kExitCannotStart) << "a game that never started is no success";
    EXPECT_EQ(engine.framesRun, 0);
    EXPECT_EQ(::soldier, nullptr);
    EXPECT_EQ(engine.calls.back(), "Release");
}

}  // namespace
}  // namespace test
