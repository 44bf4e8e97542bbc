// The whole game on the scripted engine: a fixture that starts a fresh game before each test and
// frees it afterwards, with the vocabulary every game test speaks: frames of player input, zombies
// and bullets put where a test needs them, and readers of what the player saw and heard.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/crosshair.h"
#include "app/game.h"
#include "app/scene.h"
#include "app/weapon_bar.h"
#include "support/game_reset.h"
#include "support/scripted_engine.h"
#include "world/assets.h"

namespace test {

constexpr float kFrame = 1.0f / 60.0f;

// What the tests' program offers RunCommandLine: the scripted engine as its platform's, and the
// headless engine for --verify, as the real program has.
extern const ProgramEngines kScriptedProgram;

// The test font: every byte from 0x20 to 0xFF is a 10 by 20 cell, so each drawn letter is read
// back from its texture coordinates.
constexpr const char* kFontPath = "gfx/durvan.fnt";
constexpr const char* kFontTexture = "gfx/font.png";
constexpr float kGlyphWidth = 10.0f;
constexpr float kGlyphHeight = 20.0f;

// The file the asset table loads into `handle` (a sprite, effect or stream variable).
const char* FileOf(const void* handle);
inline const char* const kGround = FileOf(&backgroundSprite);
inline const char* const kSoldierImage = FileOf(&soldierPistolSprite);
inline const char* const kSmgSoldierImage = FileOf(&soldierSmgSprite);
inline const char* const kCrosshairImage = FileOf(&crosshairSprite);
inline const char* const kBarImage = FileOf(&weaponBarSprite);
inline const char* const kPistolIcon = FileOf(&pistolIconSprite);
inline const char* const kSmgIcon = FileOf(&smgIconSprite);
inline const char* const kBulletImage = FileOf(&bulletSprite);
inline const char* const kZombieImage = FileOf(&zombieSprite);
inline const char* const kWoundedImage = FileOf(&zombieWoundedSprite);
inline const char* const kMaimedImage = FileOf(&zombieMaimedSprite);
inline const char* const kBloodImage = FileOf(&bloodSprite);
inline const char* const kArmImage = FileOf(&armSprite);
inline const char* const kHeadImage = FileOf(&headSprite);
inline const char* const kHealthImage = FileOf(&healthItemSprite);
inline const char* const kAmmoImage = FileOf(&ammoItemSprite);

inline const char* const kMusic = FileOf(&music);
inline const char* const kGroan = FileOf(&zombieSound);
inline const char* const kHit1 = FileOf(&hitSound1);
inline const char* const kHit2 = FileOf(&hitSound2);
inline const char* const kHit3 = FileOf(&hitSound3);
inline const char* const kKillSound = FileOf(&killSound);
inline const char* const kPistolShot = FileOf(&pistolShotSound);
inline const char* const kSmgShot = FileOf(&smgShotSound);
inline const char* const kReload = FileOf(&reloadSound);
inline const char* const kClick = FileOf(&emptySound);

// Line `n` of one of the game's texts up to its number, or whole when it has none.
std::string Label(const char* text, int n);
// One of the game's texts printed with `number`, line by line.
std::vector<std::string> Printed(const char* text, int number);
inline const std::string kKillsLabel = Label(kKillsAndScore, 0);
inline const std::string kScoreLabel = Label(kKillsAndScore, 1);
inline const std::string kLevelUpLine = Label(kLevelUpText, 1);
inline const std::string kDeathLine = Label(kDeathText, 0);
inline const std::string kEndScoreLabel = Label(kDeathText, 1);
// What Shown gives for a label that is not on the screen.
constexpr int kNotShown = -1000000;
// What an end screen draws, folded as Order() folds it.
inline const std::vector<std::string> kEndScreenOrder = {kGround, "clear 00FFFFFF", "text"};

// Gives `engine` the real sizes of the images and the test font.
void PrepareEngine(ScriptedEngine& engine);

// A sound as the player hears it.
struct Sound {
    std::string file;
    int volume;
    int pan;
    float pitch;
    bool loop;
    bool operator==(const Sound&) const = default;
};
void PrintTo(const Sound& sound, std::ostream* out);

// One line of text as drawn: where its first letter's top-left corner is and what it says.
struct TextLine {
    float x;
    float y;
    std::string text;
    bool operator==(const TextLine&) const = default;
};
void PrintTo(const TextLine& line, std::ostream* out);

// Where an image was drawn around its (25, 25) hot spot, and its rotation.
struct Placed {
    float x;
    float y;
    float angle;
};

class GameTest : public ::testing::Test {
  protected:
    ScriptedEngine engine;

    // Runs the real start-up with an empty script, so the game is ready to be stepped frame by
    // frame, and clears its records. A fixture that runs the start-up itself returns false from
    // StartsGame.
    void SetUp() override;
    void TearDown() override;
    virtual bool StartsGame() const { return true; }
    void Restart() {
        TearDown();
        SetUp();
    }

    // ---- input ----
    // A frame of `delta` with nothing held, the mouse on the soldier, the spawn corner fixed
    // (corner 1, at (-25, -25)) and then `rolls` as the frame's further Random_Int results (hit
    // sounds, pickup drops).
    static Frame Calm(std::vector<int> rolls = {}, float delta = kFrame);
    // Calm, holding `held` with the mouse at (mouseX, mouseY), frames of `delta`.
    static Frame Holding(std::vector<int> held, float mouseX, float mouseY, float delta = kFrame,
                         std::vector<int> rolls = {});
    static Frame Pressing(int key);
    // A calm frame whose spawn draws are scripted: the corner (1 to 4), then the eight spawn
    // coordinates in the order the frame update draws them.
    static Frame FromCorner(int corner, const std::array<float, 8>& points);
    bool Play(const Frame& frame) { return engine.Step(frame); }
    bool PlayN(const Frame& frame, int count) { return engine.StepN(frame, count); }
    // Plays one frame and keeps only what it drew and played.
    void PlayFresh(const Frame& frame) {
        engine.ClearRecords();
        engine.Step(frame);
    }
    // Plays `count` frames made by make(n), n from 1; gives the frames after which seen() held.
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

    // ---- the world ----
    // Keeps the spawner from sending zombies into a test that places its own.
    static void HoldSpawner();
    // A zombie in play in `slot` at (x, y) with `health` left.
    static void PlaceZombie(int slot, float x, float y, int health = 100);
    // Puts bullet `slot` in flight so that its next move ends exactly on (x, y).
    static void LaunchAt(int slot, float x, float y);
    // The next Random_Int results, for pool operations called straight from a test.
    void LoadRolls(std::vector<int> rolls);
    // A bullet lands on the zombie in `slot` in the next frame, played with `rolls`.
    void ShootZombie(int slot, std::vector<int> rolls = {});

    // ---- what the player saw and heard ----
    std::vector<Sound> Sounds() const;
    std::vector<std::string> SoundFiles() const;
    int CountSound(const std::string& file) const;
    std::vector<hgeQuad> Quads(const std::string& file) const;
    std::vector<Placed> DrawnAt(const std::string& image) const;
    std::vector<TextLine> Lines() const;
    // Each drawn quad's texture file with runs of letters folded into "text" and clears as
    // "clear AARRGGBB", in drawing order.
    std::vector<std::string> Order() const;
    // The number after `label` on the first line starting with it; kNotShown when not shown.
    int Shown(const std::string& label) const;
    bool ShowsLine(const std::string& text) const;
    int HealthShown() const { return NumberAt(190.0f, 580.0f); }
    int AmmoShown() const { return NumberAt(60.0f, 580.0f); }
    int ClipShown() const { return NumberAt(640.0f, 570.0f); }

  private:
    int NumberAt(float x, float y) const;
};

// A fresh game whose spawner sends no zombies: the test places its own.
class QuietGameTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        HoldSpawner();
    }
};

}  // namespace test
