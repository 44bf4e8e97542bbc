// A fresh game on the scripted engine with what the world tests keep asking: put zombies and
// bullets where a test needs them, play calm frames, and read back where the world images were
// drawn and what the HUD says.
#pragma once

#include <string>
#include <vector>

#include "app/scene.h"
#include "support/game_fixture.h"

namespace test {

constexpr float kFrame = 1.0f / 60.0f;

constexpr const char* kZombieImage = "gfx/zombi1.png";
constexpr const char* kWoundedImage = "gfx/zombi2.png";
constexpr const char* kMaimedImage = "gfx/zombi3.png";
constexpr const char* kBloodImage = "gfx/kanlar.png";
constexpr const char* kArmImage = "gfx/kol1.png";
constexpr const char* kHeadImage = "gfx/kelle1.png";
constexpr const char* kHealthImage = "gfx/saglik_nesne.png";
constexpr const char* kAmmoImage = "gfx/mermi_nesne.png";

constexpr const char* kGroan = "sfx/zombie.mp3";
constexpr const char* kHit1 = "sfx/hit-arg.wav";
constexpr const char* kHit2 = "sfx/hit-arg2.wav";
constexpr const char* kHit3 = "sfx/hit-arg3.wav";
constexpr const char* kKillSound = "sfx/dead-hit.wav";
constexpr const char* kPistolShot = "sfx/colt1911-fire.wav";

// Pieces of the game's texts as the font draws them (Windows-1254 bytes).
inline const std::string kKillsLabel = Label(kKillsAndScore, 0);
inline const std::string kScoreLabel = Label(kKillsAndScore, 1);
inline const std::string kLevelUpLine = Label(kLevelUpText, 1);
inline const std::string kDeathLine = Label(kDeathText, 0);
inline const std::string kEndScoreLabel = Label(kDeathText, 1);

// What Shown gives for a label that is not on the screen.
constexpr int kNotShown = -1000000;

// Points around the soldier at (400, 300), on and just inside the 25-pixel contact box.
struct Around {
    float x, y;
    bool touching;
};
constexpr Around kContactCases[] = {
    {424.9f, 300.0f, true},  {425.0f, 300.0f, false}, {375.1f, 275.1f, true},
    {400.0f, 275.0f, false}, {375.0f, 300.0f, false}, {400.0f, 324.9f, true},
    {375.1f, 324.9f, true},  {424.9f, 325.0f, false},
};

// Where a world image was drawn: the point its (25, 25) hot spot was put on, and its rotation.
struct Placed {
    float x;
    float y;
    float angle;
};

// Recovers the drawing position of a quad drawn with RenderEx around the hot spot (25, 25),
// at scale 1, whatever the image's size and rotation.
Placed PlacedAt(const hgeQuad& quad);

class WorldTest : public test::GameTest {
  protected:
    // A frame with nothing held, the mouse on the soldier, the spawn corner fixed (corner 1, at
    // (-25, -25)) and then `rolls` as the results of the frame's further Random_Int calls (hit
    // sounds, pickup drops).
    static test::Frame Calm(std::vector<int> rolls = {}, float delta = kFrame);
    // Calm, holding `held`, with the mouse at (mouseX, mouseY).
    static test::Frame Holding(std::vector<int> held, float mouseX, float mouseY,
                               std::vector<int> rolls = {});
    static test::Frame Pressing(int key);

    // A new game on the same engine, set up as the test's fixture sets it up.
    void Restart() {
        TearDown();
        SetUp();
    }

    // Keeps the spawner from sending zombies into a test that places its own.
    static void HoldSpawner();
    // A zombie in play in `slot` at (x, y) with `health` left.
    static void PlaceZombie(int slot, float x, float y, int health = 100);
    // Puts bullet `slot` in flight so that its next move ends exactly on (x, y).
    static void LaunchAt(int slot, float x, float y);
    // The next Random_Int results, for pool operations called straight from a test.
    void LoadRolls(std::vector<int> rolls);
    // Shoots the zombie in `slot` where it stands: a bullet lands on it in the next frame, which
    // is played with `rolls`; only that frame's records are kept.
    void ShootZombie(int slot, std::vector<int> rolls = {});

    // Plays `count` frames made by make(n), n from 1, and gives the numbers of the frames after
    // which seen() held.
    template <typename Make, typename Seen>
    std::vector<int> FramesWhere(int count, Make make, Seen seen) {
        std::vector<int> frames;
        for (int n = 1; n <= count; ++n) {
            PlayFresh(make(n));
            if (seen()) {
                frames.push_back(n);
            }
        }
        return frames;
    }

    std::vector<Placed> DrawnAt(const std::string& image) const;
    // The number after `label` on the first line starting with it; kNotShown when not shown.
    int Shown(const std::string& label) const;
    int HealthShown() const { return NumberAt(190.0f, 580.0f); }
    int AmmoShown() const { return NumberAt(60.0f, 580.0f); }
    bool ShowsLine(const std::string& text) const;
    std::vector<std::string> SoundFiles() const;

  private:
    int NumberAt(float x, float y) const;
};

}  // namespace test
