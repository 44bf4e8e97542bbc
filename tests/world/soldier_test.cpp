// The soldier's two weapons and the bullets they fire, as the player hears and sees them.
#include "world/soldier.h"
#include "support/game_fixture.h"
#include "world/bullet.h"

namespace test {
namespace {

const Sound kPistolShotSound{kPistolShot, 5, 0, 1.0f, false};
const Sound kSmgShotSound{kSmgShot, 5, 0, 1.0f, false};
const Sound kReloadSound{kReload, 15, 0, 1.0f, false};
const Sound kClickSound{kClick, 5, 0, 1.0f, false};
using SoundList = std::vector<Sound>;

class Weapons : public QuietGameTest {
  protected:
    static Frame Trigger(float delta = 0.3f, float x = 600.0f, float y = 300.0f) {
        return Holding({HGEK_LBUTTON}, x, y, delta);
    }
    bool Fired() const { return CountSound(kPistolShot) + CountSound(kSmgShot) > 0; }
    // Holds the trigger until a frame fires; returns that frame's sounds.
    SoundList FireOnce(float delta = 0.3f, float x = 600.0f, float y = 300.0f) {
        for (int frame = 0; frame < 60; ++frame) {
            PlayFresh(Trigger(delta, x, y));
            if (Fired()) {
                return Sounds();
            }
        }
        ADD_FAILURE() << "no shot";
        return {};
    }
    std::vector<int> ShotFrames(float delta, int frames) {
        return FramesWhere(
            frames, [delta](int) { return Trigger(delta); }, [this] { return Fired(); });
    }
    void Select(int key) { Play(Holding({key}, 600.0f, 300.0f, 0.0f)); }
    // The numbers on the bar: reserve, health, clip.
    std::vector<int> Bar() {
        PlayFresh(Calm({}, 0.0f));
        return {AmmoShown(), HealthShown(), ClipShown()};
    }
    // Where the newest bullet's streak starts in each of `frames` calm frames.
    std::vector<hgeVertex> Flight(int frames) {
        std::vector<hgeVertex> path;
        for (int frame = 0; frame < frames; ++frame) {
            PlayFresh(Calm());
            const std::vector<hgeQuad> drawn = Quads(kBulletImage);
            path.push_back(drawn.empty() ? hgeVertex{} : drawn.back().v[0]);
        }
        return path;
    }
};

TEST_F(Weapons, ThePistolsTwelfthShotReloadsInTheSameFrame) {
    for (int shot = 1; shot <= 11; ++shot) {
        EXPECT_EQ(FireOnce(), SoundList{kPistolShotSound}) << shot;
    }
    EXPECT_EQ(Bar(), (std::vector<int>{1000, 100, 1}));
    EXPECT_EQ(FireOnce(), (SoundList{kPistolShotSound, kReloadSound}));
    EXPECT_EQ(Bar(), (std::vector<int>{988, 100, 12}));
}

TEST_F(Weapons, AReloadTakesWhatIsLeftOfTheSharedReserve) {
    struct Case {
        int key, reserve, reserveAfter, clipAfter;
    };
    for (const Case& c : {Case{HGEK_1, 12, 0, 12}, Case{HGEK_1, 13, 1, 12}, Case{HGEK_2, 30, 0, 30},
                          Case{HGEK_2, 31, 1, 30}}) {
        Select(c.key);
        soldier->AmmoRef() = c.reserve;
        soldier->PistolClipRef() = 1;
        soldier->SmgClipRef() = 1;
        EXPECT_EQ(FireOnce().back(), kReloadSound);
        EXPECT_EQ(Bar(), (std::vector<int>{c.reserveAfter, 100, c.clipAfter})) << c.reserve;
    }
}

TEST_F(Weapons, RoundsInTheClipAreFiredWhenTheReserveIsEmptyAndThenTheTriggerClicks) {
    soldier->AmmoRef() = 0;
    soldier->PistolClipRef() = 2;
    EXPECT_EQ(FireOnce(), SoundList{kPistolShotSound});
    // The last round empties the clip; the reload finds nothing but still sounds.
    EXPECT_EQ(FireOnce(), (SoundList{kPistolShotSound, kReloadSound}));
    EXPECT_EQ(Quads(kBulletImage).size(), 2u);

    // Nothing left: once the timer is past the interval, every held frame clicks.
    PlayFresh(Trigger());
    EXPECT_TRUE(Sounds().empty());
    for (int frame = 0; frame < 3; ++frame) {
        PlayFresh(Trigger());
        EXPECT_EQ(Sounds(), SoundList{kClickSound}) << frame;
    }
    EXPECT_EQ(Bar(), (std::vector<int>{0, 100, 0}));

    // An ammunition pickup refills the reserve: the empty clip is loaded before the shot, which
    // comes at once because the clicks left the timer where it was.
    soldier->AmmoRef() = 100;
    PlayFresh(Trigger());
    EXPECT_EQ(Sounds(), (SoundList{kReloadSound, kPistolShotSound}));
    EXPECT_EQ(Bar(), (std::vector<int>{88, 100, 11}));
}

TEST_F(Weapons, EachWeaponFiresOnlyWithItsTimerStrictlyPastItsOwnInterval) {
    // 0.125 and 0.05 add up to the intervals exactly, which is not enough.
    EXPECT_EQ(ShotFrames(0.125f, 10), (std::vector<int>{2, 6, 10}));
    Select(HGEK_2);
    EXPECT_EQ(ShotFrames(0.05f, 10), (std::vector<int>{2, 6, 10}));
    EXPECT_EQ(Sounds(), SoundList{kSmgShotSound});
    EXPECT_EQ(Bar(), (std::vector<int>{1000, 100, 27}));
    // The pistol kept its clip, and its timer only runs while it is the one fired.
    Select(HGEK_1);
    EXPECT_EQ(Bar(), (std::vector<int>{1000, 100, 9}));
    PlayN(Calm({}, 0.125f), 20);
    EXPECT_EQ(ShotFrames(0.125f, 4), std::vector<int>{4});
}

TEST_F(Weapons, ABulletFliesAFiftiethOfItsAimDistanceAFrameSecondToItsStopLine) {
    // Fired in a 0.02 s frame: drawn at the soldier, then 100 pixels a frame whatever the later
    // frames last, until it rests 1000 past the aim point.
    FireOnce(0.02f, 500.0f, 300.0f);
    EXPECT_EQ(Quads(kBulletImage).back().v[0].x, 400.0f);
    std::vector<float> xs;
    for (const hgeVertex& v : Flight(12)) {
        xs.push_back(v.x);
        EXPECT_EQ(v.y, 300.0f);
    }
    EXPECT_EQ(xs, (std::vector<float>{500, 600, 700, 800, 900, 1000, 1100, 1200, 1300, 1400, 1500,
                                      1500}));

    // At sixty frames a second the last step would cross the stop line: it ends on it.
    Restart();
    FireOnce(kFrame, 500.0f, 300.0f);
    const std::vector<hgeVertex> slow = Flight(20);
    EXPECT_NEAR(slow[0].x, 483.333f, 1e-3);
    EXPECT_NEAR(slow[12].x, 1483.333f, 1e-2);
    EXPECT_EQ(slow[13].x, 1500.0f);
    EXPECT_EQ(slow[19].x, 1500.0f);
    EXPECT_TRUE(bullets[0]->ActiveRef());
}

TEST_F(Weapons, NoBulletIsLeftLyingWhereItWasFired) {
    // A frame without time (the first after a pause) holds the ready shot for the next.
    pistolFireTimer = 1.0f;
    PlayFresh(Trigger(0.0f, 500.0f, 300.0f));
    EXPECT_FALSE(Fired());
    EXPECT_EQ(FireOnce(0.02f, 500.0f, 300.0f), SoundList{kPistolShotSound});
    EXPECT_EQ(Flight(1)[0].x, 500.0f);
    // In a 0.3 s frame the first step, 1500, would cross the stop line 1100 away: it ends on it.
    Restart();
    FireOnce(0.3f, 500.0f, 300.0f);
    EXPECT_EQ(Flight(1)[0].x, 1500.0f);
}

TEST_F(Weapons, EachAxisFliesAtASpeedFromItsOwnDistance) {
    // Aimed 100 to the right and 40 up: 50 times each distance a second, so in 0.02 s frames the
    // bullet covers the aim in one frame on both axes.
    FireOnce(0.02f, 500.0f, 260.0f);
    const std::vector<hgeVertex> path = Flight(2);
    EXPECT_FLOAT_EQ(path[0].x, 500.0f);
    EXPECT_FLOAT_EQ(path[0].y, 260.0f);
    EXPECT_FLOAT_EQ(path[1].x, 600.0f);
    EXPECT_FLOAT_EQ(path[1].y, 220.0f);
}

TEST_F(Weapons, TheFiftyFirstShotRelaunchesTheFirstBullet) {
    soldier->WeaponRef() = kSubmachineGun;
    for (int shot = 0; shot < 50; ++shot) {
        FireOnce(0.15f, 500.0f, 300.0f);
    }
    EXPECT_EQ(Quads(kBulletImage).size(), 50u);
    EXPECT_NE(Quads(kBulletImage).front().v[0].x, 400.0f);
    FireOnce(0.15f, 400.0f, 100.0f);
    // Still 50 in the air; the first one drawn is the new one, at the soldier.
    const std::vector<hgeQuad> drawn = Quads(kBulletImage);
    ASSERT_EQ(drawn.size(), 50u);
    EXPECT_EQ(drawn.front().v[0].x, 400.0f);
    EXPECT_EQ(drawn.front().v[0].y, 300.0f);
}

}  // namespace
}  // namespace test
