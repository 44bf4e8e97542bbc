// The whole game on the scripted engine: a fixture that starts a fresh game before each test and
// frees it afterwards, plus helpers that build frames of player input and read back what the
// player saw and heard.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "support/game_reset.h"
#include "support/scripted_engine.h"

namespace test {

// The test font: every byte from 0x20 to 0xFF is a 10 by 20 cell of "gfx/font.png", 16 cells a
// row, so each drawn letter can be read back from its texture coordinates.
constexpr const char* kFontPath = "gfx/durvan.fnt";
constexpr const char* kFontTexture = "gfx/font.png";
constexpr float kGlyphWidth = 10.0f;
constexpr float kGlyphHeight = 20.0f;

// The font description above, as the engine hands it to the font loader.
std::vector<char> TestFontDescription();
// Gives `engine` the real sizes of the 16 images, the font texture's size and the test font.
void PrepareEngine(ScriptedEngine& engine);

// One frame of input: delta, mouse, keys held, key pressed.
Frame MakeFrame(float delta = 1.0f / 60.0f, float mouseX = 400.0f, float mouseY = 300.0f,
                std::vector<int> held = {}, int pressed = 0);
// The frame with this frame's spawn draws scripted: the corner (1 to 4), then the eight spawn
// coordinates in the order the frame update draws them.
Frame WithSpawnDraws(Frame frame, int corner, const std::array<float, 8>& coordinates);

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
};

// What one drawn quad shows: the file of its texture ("" for none), its top-left corner.
struct Drawn {
    std::string file;
    float x;
    float y;
};

// Line `n` of one of the game's texts up to its number, or whole when it has none.
std::string Label(const char* text, int n);
// One of the game's texts printed with `number`, line by line.
std::vector<std::string> Printed(const char* text, int number);

// Readers over whatever `engine` recorded.
std::vector<Sound> SoundsPlayed(const ScriptedEngine& engine);
std::vector<Drawn> DrawnQuads(const ScriptedEngine& engine);
std::vector<hgeQuad> QuadsOf(const ScriptedEngine& engine, const std::string& file);
// Letters of the test font grouped into lines: a new line starts where a letter does not sit
// right after the previous one.
std::vector<TextLine> TextLines(const ScriptedEngine& engine);
// The drawing order with runs of letters folded into one "text" entry.
std::vector<std::string> DrawOrder(const ScriptedEngine& engine);

class GameTest : public ::testing::Test {
  protected:
    ScriptedEngine engine;
    int exitStatus = -1;

    // Prepares the engine and runs the real start-up with an empty script (System_Start returns
    // at once), so the game is ready to be stepped frame by frame; the start-up's records are
    // then cleared. A fixture that tests the start-up itself returns false from StartsGame.
    void SetUp() override;
    void TearDown() override;
    virtual bool StartsGame() const { return true; }

    // Plays frames through the game's own callbacks, as the engine loop would; true when the
    // frame callback asked to quit.
    bool Play(const Frame& frame) { return engine.Step(frame); }
    bool PlayN(const Frame& frame, int count) { return engine.StepN(frame, count); }
    // Plays one frame and returns only what it drew and played.
    void PlayFresh(const Frame& frame) {
        engine.ClearRecords();
        engine.Step(frame);
    }

    std::vector<Sound> Sounds() const { return SoundsPlayed(engine); }
    int CountSound(const std::string& file) const;
    std::vector<hgeQuad> Quads(const std::string& file) const { return QuadsOf(engine, file); }
    std::vector<TextLine> Lines() const { return TextLines(engine); }
    std::vector<std::string> Order() const { return DrawOrder(engine); }
};

}  // namespace test
