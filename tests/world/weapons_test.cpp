#include <string>
#include <vector>

#include "app/game.h"
#include "support/game_fixture.h"
#include "world/bullet.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {
namespace {

constexpr const char* kPistolShot = "sfx/colt1911-fire.wav";
constexpr const char* kSmgShot = "sfx/mp5-fire.wav";
constexpr const char* kReload = "sfx/mp5-reload.wav";
constexpr const char* kClick = "sfx/weaponhit.wav";

class WeaponsTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        zombieSpawnTimer = -1.0e9f;  // no zombies in the way
    }

    static Frame Trigger(float delta = 0.3f) { return MakeFrame(delta, 600, 300, {HGEK_LBUTTON}); }

    // Holds the trigger until a frame fires; returns that frame's sounds.
    std::vector<Sound> FireOnce(float delta = 0.3f) {
        for (int frame = 0; frame < 20; ++frame) {
            PlayFresh(Trigger(delta));
            if (CountSound(kPistolShot) + CountSound(kSmgShot) > 0) {
                return Sounds();
            }
        }
        ADD_FAILURE() << "no shot within 20 frames";
        return {};
    }

    // The frames, counted from 1, in which a shot was heard while holding the trigger.
    std::vector<int> ShotFrames(float delta, int frames) {
        std::vector<int> out;
        for (int frame = 1; frame <= frames; ++frame) {
            PlayFresh(Trigger(delta));
            if (CountSound(kPistolShot) + CountSound(kSmgShot) > 0) {
                out.push_back(frame);
            }
        }
        return out;
    }

    void Select(int key) { Play(MakeFrame(0.0f, 600, 300, {key})); }

    // The numbers on the bar, as the player reads them: reserve, health, clip.
    std::vector<std::string> BarNumbers() {
        PlayFresh(MakeFrame(0.0f, 600, 300));
        std::vector<std::string> numbers;
        for (const TextLine& line : Lines()) {
            if (line.y >= 570) {
                numbers.push_back(line.text);
            }
        }
        return numbers;
    }
};

const Sound kPistolShotSound{kPistolShot, 5, 0, 1.0f, false};
const Sound kSmgShotSound{kSmgShot, 5, 0, 1.0f, false};
const Sound kReloadSound{kReload, 15, 0, 1.0f, false};
const Sound kClickSound{kClick, 5, 0, 1.0f, false};

TEST_F(WeaponsTest, ThePistolsTwelfthShotReloadsInTheSameFrame) {
    for (int shot = 1; shot <= 11; ++shot) {
        EXPECT_EQ(FireOnce(), std::vector<Sound>{kPistolShotSound}) << shot;
    }
    EXPECT_EQ(BarNumbers(), (std::vector<std::string>{"1000", "100", "1"}));
    EXPECT_EQ(FireOnce(), (std::vector<Sound>{kPistolShotSound, kReloadSound}));
    EXPECT_EQ(BarNumbers(), (std::vector<std::string>{"988", "100", "12"}));
}

TEST_F(WeaponsTest, AReloadTakesWhatIsLeftOfTheSharedReserve) {
    struct Case {
        int key, reserve;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {HGEK_1, 12, {"0", "100", "12"}},
        {HGEK_1, 13, {"1", "100", "12"}},
        {HGEK_2, 30, {"0", "100", "30"}},
        {HGEK_2, 31, {"1", "100", "30"}},
    };
    for (const Case& c : cases) {
        Select(c.key);
        soldier->AmmoRef() = c.reserve;
        soldier->PistolClipRef() = 1;
        soldier->SmgClipRef() = 1;
        const std::vector<Sound> sounds = FireOnce();
        ASSERT_EQ(sounds.size(), 2u);
        EXPECT_EQ(sounds[1], kReloadSound);
        EXPECT_EQ(BarNumbers(), c.after) << c.reserve;
    }
}

TEST_F(WeaponsTest, RoundsInTheClipAreFiredWhenTheReserveIsEmpty) {
    soldier->AmmoRef() = 0;
    soldier->PistolClipRef() = 3;
    EXPECT_EQ(FireOnce(), std::vector<Sound>{kPistolShotSound});
    EXPECT_EQ(FireOnce(), std::vector<Sound>{kPistolShotSound});
    // The last round empties the clip; the reload finds nothing but still sounds.
    EXPECT_EQ(FireOnce(), (std::vector<Sound>{kPistolShotSound, kReloadSound}));
    EXPECT_EQ(Quads("gfx/mermi1.png").size(), 3u);

    // Nothing left anywhere: once the timer is past the interval again, every held frame
    // clicks and nothing leaves the barrel.
    PlayFresh(Trigger());
    EXPECT_TRUE(Sounds().empty());
    for (int frame = 0; frame < 4; ++frame) {
        PlayFresh(Trigger());
        EXPECT_EQ(Sounds(), std::vector<Sound>{kClickSound}) << frame;
    }
    EXPECT_EQ(bulletCursor, 3);
    EXPECT_EQ(BarNumbers(), (std::vector<std::string>{"0", "100", "0"}));

    // An ammunition pickup refills the reserve: the empty clip is loaded before the shot, which
    // comes at once because the clicks left the timer where it was.
    soldier->AmmoRef() = 100;
    PlayFresh(Trigger());
    EXPECT_EQ(Sounds(), (std::vector<Sound>{kReloadSound, kPistolShotSound}));
    EXPECT_EQ(BarNumbers(), (std::vector<std::string>{"88", "100", "11"}));
}

TEST_F(WeaponsTest, AShotNeedsTheTimerStrictlyPastTheInterval) {
    // 0.125 and 0.05 add up to the intervals exactly, which is not enough.
    EXPECT_EQ(ShotFrames(0.125f, 10), (std::vector<int>{2, 6, 10}));
    Select(HGEK_2);
    EXPECT_EQ(ShotFrames(0.05f, 10), (std::vector<int>{2, 6, 10}));
}

TEST_F(WeaponsTest, TheTimerStandsStillBetweenPressesAndOnTheLevelUpScreen) {
    FireOnce(0.125f);
    // Long after the shot, the timer still starts from 0 when the trigger is pulled again.
    PlayN(MakeFrame(0.125f, 600, 300), 20);
    levelUpShown = true;
    PlayN(Trigger(0.125f), 20);
    levelUpShown = false;
    EXPECT_EQ(ShotFrames(0.125f, 4), std::vector<int>{4});
}

TEST_F(WeaponsTest, EachWeaponKeepsItsClipAndTimerAcrossSwitches) {
    for (int shot = 0; shot < 3; ++shot) {
        FireOnce();
    }
    Select(HGEK_2);
    EXPECT_EQ(FireOnce(), std::vector<Sound>{kSmgShotSound});
    EXPECT_EQ(FireOnce(), std::vector<Sound>{kSmgShotSound});
    EXPECT_EQ(BarNumbers(), (std::vector<std::string>{"1000", "100", "28"}));
    // The pistol's timer did not run while the submachine gun fired: its first pull only adds.
    Select(HGEK_1);
    EXPECT_EQ(BarNumbers(), (std::vector<std::string>{"1000", "100", "9"}));
    EXPECT_EQ(ShotFrames(0.3f, 2), std::vector<int>{2});
}

}  // namespace
}  // namespace test
