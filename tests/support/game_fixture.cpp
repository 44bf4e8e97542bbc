#include "support/game_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/resources.h"
#include "app/startup.h"
#include "engine/headless/headless_engine.h"
#include "world/assets.h"
#include "world/bullet.h"
#include "world/zombie.h"

namespace test {

const ProgramEngines kScriptedProgram{[](const EngineLaunch&) { return ScriptedEngine::Acquire(); },
                                      HeadlessEngine::Acquire};

namespace {

constexpr int kFirstGlyph = 0x20;
constexpr int kGlyphColumns = 16;
constexpr int kFontTextureWidth = 160;
constexpr int kFontTextureHeight = 280;  // 14 rows cover 0x20 to 0xFF

// Which byte a letter of the test font shows, from its texture coordinates; -1 for a quad that
// is not a letter.
int GlyphOf(const ScriptedEngine& engine, const hgeQuad& quad) {
    if (quad.tex == 0 || engine.TexturePath(quad.tex) != kFontTexture) {
        return -1;
    }
    const int column = static_cast<int>(std::lround(quad.v[0].tx * kFontTextureWidth / 10.0));
    const int row = static_cast<int>(std::lround(quad.v[0].ty * kFontTextureHeight / 20.0));
    return kFirstGlyph + row * kGlyphColumns + column;
}

std::vector<char> TestFontDescription() {
    std::string text = "[HGEFONT]\r\nBitmap = font.png\r\n";
    char line[64];
    for (int code = kFirstGlyph; code <= 0xFF; ++code) {
        const int cell = code - kFirstGlyph;
        std::snprintf(line, sizeof line, "Char=%02X,%d,%d,10,20,0,0\r\n", code,
                      (cell % kGlyphColumns) * 10, (cell / kGlyphColumns) * 20);
        text += line;
    }
    return {text.begin(), text.end()};
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

// Recovers where a quad drawn by RenderEx around the hot spot (25, 25), at scale 1, was put,
// whatever the image's size and rotation.
Placed PlacedAt(const hgeQuad& quad) {
    const double dx = quad.v[1].x - quad.v[0].x;
    const double dy = quad.v[1].y - quad.v[0].y;
    const double width = std::hypot(dx, dy);
    const double c = dx / width;
    const double s = dy / width;
    // v[0] is the hot spot's offset (-25, -25) turned by the angle.
    return {static_cast<float>(quad.v[0].x + 25.0 * c - 25.0 * s),
            static_cast<float>(quad.v[0].y + 25.0 * s + 25.0 * c),
            static_cast<float>(std::atan2(s, c))};
}

}  // namespace

const char* FileOf(const void* handle) {
    for (const Asset& asset : AssetTable()) {
        if (handle == asset.sprite || handle == asset.effect || handle == asset.stream) {
            return asset.path;
        }
    }
    return "";
}

std::string Label(const char* text, int n) {
    const std::string line = SplitLines(text).at(static_cast<std::size_t>(n));
    return line.substr(0, line.find("%d"));
}

std::vector<std::string> Printed(const char* text, int number) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, text, number);
    return SplitLines(buffer);
}

void PrepareEngine(ScriptedEngine& engine) {
    // The committed images are exactly as large as the sprites cut from them; only the texture
    // coordinates depend on it.
    for (const Asset& asset : AssetTable()) {
        if (asset.kind == AssetKind::kImage) {
            engine.textureSizes[asset.path] = {static_cast<int>(asset.width),
                                               static_cast<int>(asset.height)};
        }
    }
    engine.textureSizes[kFontTexture] = {kFontTextureWidth, kFontTextureHeight};
    engine.files[kFontPath] = TestFontDescription();
}

void PrintTo(const Sound& sound, std::ostream* out) {
    *out << sound.file << " volume " << sound.volume << " pan " << sound.pan << " pitch "
         << sound.pitch << (sound.loop ? " looping" : "");
}

void PrintTo(const TextLine& line, std::ostream* out) {
    *out << "\"" << line.text << "\" at (" << line.x << ", " << line.y << ")";
}

void GameTest::SetUp() {
    FreeGame();
    PrepareEngine(engine);
    if (StartsGame()) {
        RunGame();
        engine.ClearRecords();
    }
}

void GameTest::TearDown() {
    FreeGame();
}

Frame GameTest::FromCorner(int corner, const std::array<float, 8>& points) {
    Frame frame;
    frame.ints.push_back(corner);
    frame.floats.assign(points.begin(), points.end());
    return frame;
}

Frame GameTest::Calm(std::vector<int> rolls, float delta) {
    Frame frame = FromCorner(1, {-25.0f, -25.0f, 825.0f, 625.0f, -25.0f, 625.0f, 825.0f, -25.0f});
    frame.delta = delta;
    frame.ints.insert(frame.ints.end(), rolls.begin(), rolls.end());
    return frame;
}

Frame GameTest::Holding(std::vector<int> held, float mouseX, float mouseY, float delta,
                        std::vector<int> rolls) {
    Frame frame = Calm(std::move(rolls), delta);
    frame.held = std::move(held);
    frame.mouseX = mouseX;
    frame.mouseY = mouseY;
    return frame;
}

Frame GameTest::Pressing(int key) {
    Frame frame = Calm();
    frame.pressed = key;
    return frame;
}

void GameTest::HoldSpawner() {
    zombieSpawnTimer = -1.0e9f;
}

void GameTest::PlaceZombie(int slot, float x, float y, int health) {
    Zombie& zombie = *zombies[slot];
    zombie.Activate(zombieSprite);
    zombie.SetPosition(x, y);
    zombie.TakeDamage(100 - health);
}

void GameTest::LaunchAt(int slot, float x, float y) {
    // 100 pixels short of the point, launched in a 0.02 s frame: one move covers 50 x 0.02 of
    // the distance, that is all of it.
    Bullet& bullet = *bullets[slot];
    bullet.SetFrameDelta(0.02f);
    bullet.SetPosition(x - 100.0f, y);
    bullet.SetTarget(x, y);
    bullet.SetAngle(0.0f);
    bullet.SetActive(true);
}

void GameTest::LoadRolls(std::vector<int> rolls) {
    // A frame with no callbacks only hands the engine its input.
    const hgeCallback frameFunc = std::exchange(engine.frameFunc, nullptr);
    const hgeCallback renderFunc = std::exchange(engine.renderFunc, nullptr);
    Frame frame;
    frame.ints.assign(rolls.begin(), rolls.end());
    engine.Step(frame);
    engine.frameFunc = frameFunc;
    engine.renderFunc = renderFunc;
}

void GameTest::ShootZombie(int slot, std::vector<int> rolls) {
    LaunchAt(0, zombies[slot]->x, zombies[slot]->y);
    PlayFresh(Calm(std::move(rolls)));
}

std::vector<Sound> GameTest::Sounds() const {
    std::vector<Sound> out;
    for (const Event& e : engine.events) {
        if (e.kind == Event::Effect) {
            out.push_back({e.text, e.volume, e.pan, e.pitch, e.loop});
        }
    }
    return out;
}

std::vector<std::string> GameTest::SoundFiles() const {
    std::vector<std::string> out;
    for (const Sound& sound : Sounds()) {
        out.push_back(sound.file);
    }
    return out;
}

int GameTest::CountSound(const std::string& file) const {
    const std::vector<std::string> files = SoundFiles();
    return static_cast<int>(std::count(files.begin(), files.end(), file));
}

std::vector<hgeQuad> GameTest::Quads(const std::string& file) const {
    std::vector<hgeQuad> out;
    for (const Event& e : engine.events) {
        if (e.kind == Event::Quad && engine.TexturePath(e.quad.tex) == file) {
            out.push_back(e.quad);
        }
    }
    return out;
}

std::vector<Placed> GameTest::DrawnAt(const std::string& image) const {
    std::vector<Placed> out;
    for (const hgeQuad& quad : Quads(image)) {
        out.push_back(PlacedAt(quad));
    }
    return out;
}

std::vector<TextLine> GameTest::Lines() const {
    std::vector<TextLine> lines;
    float nextX = 0.0f;
    bool inLine = false;
    for (const Event& e : engine.events) {
        const int glyph = e.kind == Event::Quad ? GlyphOf(engine, e.quad) : -1;
        if (glyph < 0) {
            inLine = false;
            continue;
        }
        const float x = e.quad.v[0].x;
        const float y = e.quad.v[0].y;
        // A new line starts where a letter does not sit right after the previous one.
        if (!inLine || x != nextX || y != lines.back().y) {
            lines.push_back({x, y, std::string()});
        }
        lines.back().text += static_cast<char>(glyph);
        nextX = x + kGlyphWidth;
        inLine = true;
    }
    return lines;
}

std::vector<std::string> GameTest::Order() const {
    std::vector<std::string> order;
    for (const Event& e : engine.events) {
        std::string entry;
        if (e.kind == Event::Clear) {
            char color[32];
            std::snprintf(color, sizeof color, "clear %08X", e.color);
            entry = color;
        } else if (e.kind == Event::Quad) {
            entry = GlyphOf(engine, e.quad) >= 0 ? "text" : engine.TexturePath(e.quad.tex);
        } else {
            continue;
        }
        if (entry != "text" || order.empty() || order.back() != "text") {
            order.push_back(entry);
        }
    }
    return order;
}

int GameTest::Shown(const std::string& label) const {
    for (const TextLine& line : Lines()) {
        if (line.text.rfind(label, 0) == 0) {
            return std::atoi(line.text.c_str() + label.size());
        }
    }
    return kNotShown;
}

bool GameTest::ShowsLine(const std::string& text) const {
    for (const TextLine& line : Lines()) {
        if (line.text.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

int GameTest::NumberAt(float x, float y) const {
    for (const TextLine& line : Lines()) {
        if (line.x == x && line.y == y) {
            return std::atoi(line.text.c_str());
        }
    }
    return kNotShown;
}

}  // namespace test
