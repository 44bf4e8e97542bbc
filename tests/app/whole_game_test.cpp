// A whole game played from a script through the engine's own loop: the player shoots the
// zombies coming from one corner up to the level-up, presses Enter, stops shooting, is bitten to
// death and quits with Escape.
#include <utility>

#include "app/startup.h"
#include "support/world_fixture.h"

namespace test {
namespace {

using test::Frame;

constexpr int kShootingFrames = 1500;
constexpr int kStandingFrames = 1500;

class WholeGame : public WorldTest {
  protected:
    bool StartsGame() const override { return false; }

    // Every zombie comes from (-25, -25) and walks the straight line to the soldier at
    // (400, 300); the player holds the submachine gun's trigger aimed 60 pixels down that line,
    // so the bullets sweep it.
    static Frame Shooting() {
        return Holding({HGEK_LBUTTON, HGEK_2}, 400.0f - 60.0f * 425.0f / 535.0f,
                       300.0f - 60.0f * 325.0f / 535.0f);
    }

    // What each frame showed, frame by frame: the texts and the number of kill sounds.
    struct Seen {
        std::vector<test::TextLine> lines;
        int killSounds = 0;
    };
    std::vector<Seen> PerFrame() {
        std::vector<test::Event> all = std::move(engine.events);
        std::vector<Seen> frames;
        engine.events.clear();
        // A frame's sounds come before its scene (the update plays them), so a frame runs up
        // to and with its EndScene.
        for (const test::Event& event : all) {
            engine.events.push_back(event);
            if (event.kind == test::Event::EndScene) {
                frames.push_back({Lines(), CountSound(kKillSound)});
                engine.events.clear();
            }
        }
        engine.events = std::move(all);
        return frames;
    }
    static bool Has(const Seen& seen, const std::string& text) {
        for (const test::TextLine& line : seen.lines) {
            if (line.text.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    static int After(const Seen& seen, const std::string& label) {
        for (const test::TextLine& line : seen.lines) {
            if (line.text.rfind(label, 0) == 0) {
                return std::stoi(line.text.substr(label.size()));
            }
        }
        return kNotShown;
    }
};

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

    const std::vector<Seen> frames = PerFrame();
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(engine.framesRun));
    int levelUp = -1;
    int killsSeen = 0;
    for (int n = 0; n < kShootingFrames && levelUp < 0; ++n) {
        killsSeen += frames[n].killSounds;
        if (Has(frames[n], kLevelUpLine)) {
            levelUp = n;
        } else {
            EXPECT_EQ(After(frames[n], kKillsLabel), killsSeen) << "frame " << n + 1;
        }
    }
    ASSERT_GE(levelUp, 0) << "no level-up while shooting";
    EXPECT_EQ(killsSeen, 10);
    // Every kill with the submachine gun in hand.
    EXPECT_EQ(After(frames[levelUp], kEndScoreLabel), 500);
    EXPECT_TRUE(Has(frames[kShootingFrames - 1], kLevelUpLine));

    const Seen& afterEnter = frames[kShootingFrames];
    EXPECT_EQ(After(afterEnter, kKillsLabel), 0);
    EXPECT_EQ(After(afterEnter, kScoreLabel), 500);

    int death = -1;
    for (int n = kShootingFrames + 1; n < static_cast<int>(frames.size()) && death < 0; ++n) {
        if (Has(frames[n], kDeathLine)) {
            death = n;
        }
    }
    ASSERT_GT(death, 0) << "the soldier outlived the zombies";
    EXPECT_EQ(After(frames[death], kEndScoreLabel), 500);
    EXPECT_TRUE(Has(frames.back(), kDeathLine));
}

}  // namespace
}  // namespace test
