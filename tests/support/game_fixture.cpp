#include "support/game_fixture.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "app/frame.h"
#include "app/game.h"
#include "app/resources.h"
#include "app/rules.h"
#include "app/scene.h"
#include "app/startup.h"
#include "render2d/hgefont.h"
#include "render2d/hgesprite.h"
#include "world/assets.h"
#include "world/blood_gore.h"
#include "world/bullet.h"
#include "world/pickup.h"
#include "world/soldier.h"
#include "world/zombie.h"

namespace test {

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

}  // namespace

std::vector<char> TestFontDescription() {
    std::string text = "[HGEFONT]\r\nBitmap = font.png\r\n";
    char line[64];
    for (int code = kFirstGlyph; code <= 0xFF; ++code) {
        const int cell = code - kFirstGlyph;
        std::snprintf(line, sizeof line, "Char=%02X,%d,%d,%d,%d,0,0\r\n", code,
                      (cell % kGlyphColumns) * 10, (cell / kGlyphColumns) * 20,
                      static_cast<int>(kGlyphWidth), static_cast<int>(kGlyphHeight));
        text += line;
    }
    return std::vector<char>(text.begin(), text.end());
}

void PrepareEngine(ScriptedEngine& engine) {
    // The committed images are exactly as large as the sprites cut from them; only the
    // texture coordinates depend on it.
    for (const Asset& asset : AssetTable()) {
        if (asset.kind == AssetKind::kImage) {
            engine.textureSizes[asset.path] = {static_cast<int>(asset.width),
                                               static_cast<int>(asset.height)};
        }
    }
    engine.textureSizes[kFontTexture] = {kFontTextureWidth, kFontTextureHeight};
    engine.files[kFontPath] = TestFontDescription();
}

namespace {

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

}  // namespace

std::string Label(const char* text, int n) {
    const std::string line = SplitLines(text).at(static_cast<std::size_t>(n));
    return line.substr(0, line.find("%d"));
}

std::vector<std::string> Printed(const char* text, int number) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, text, number);
    return SplitLines(buffer);
}

Frame MakeFrame(float delta, float mouseX, float mouseY, std::vector<int> held, int pressed) {
    Frame frame;
    frame.delta = delta;
    frame.mouseX = mouseX;
    frame.mouseY = mouseY;
    frame.held = std::move(held);
    frame.pressed = pressed;
    return frame;
}

Frame WithSpawnDraws(Frame frame, int corner, const std::array<float, 8>& coordinates) {
    frame.ints.push_front(corner);
    frame.floats.insert(frame.floats.begin(), coordinates.begin(), coordinates.end());
    return frame;
}

void PrintTo(const Sound& sound, std::ostream* out) {
    *out << sound.file << " volume " << sound.volume << " pan " << sound.pan << " pitch "
         << sound.pitch << (sound.loop ? " looping" : "");
}

std::vector<Sound> SoundsPlayed(const ScriptedEngine& engine) {
    std::vector<Sound> out;
    for (const Event& e : engine.events) {
        if (e.kind == Event::Effect) {
            out.push_back({e.text, e.volume, e.pan, e.pitch, e.loop});
        }
    }
    return out;
}

std::vector<Drawn> DrawnQuads(const ScriptedEngine& engine) {
    std::vector<Drawn> out;
    for (const Event& e : engine.events) {
        if (e.kind == Event::Quad) {
            out.push_back({engine.TexturePath(e.quad.tex), e.quad.v[0].x, e.quad.v[0].y});
        }
    }
    return out;
}

std::vector<hgeQuad> QuadsOf(const ScriptedEngine& engine, const std::string& file) {
    std::vector<hgeQuad> out;
    for (const Event& e : engine.events) {
        if (e.kind == Event::Quad && engine.TexturePath(e.quad.tex) == file) {
            out.push_back(e.quad);
        }
    }
    return out;
}

std::vector<TextLine> TextLines(const ScriptedEngine& engine) {
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
        if (!inLine || x != nextX || y != lines.back().y) {
            lines.push_back({x, y, std::string()});
        }
        lines.back().text += static_cast<char>(glyph);
        nextX = x + kGlyphWidth;
        inLine = true;
    }
    return lines;
}

std::vector<std::string> DrawOrder(const ScriptedEngine& engine) {
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
        if (entry == "text" && !order.empty() && order.back() == "text") {
            continue;
        }
        order.push_back(entry);
    }
    return order;
}

void GameTest::SetUp() {
    FreeGame();
    PrepareEngine(engine);
    if (StartsGame()) {
        exitStatus = RunGame();
        engine.ClearRecords();
    }
}

void GameTest::TearDown() {
    FreeGame();
}

int GameTest::CountSound(const std::string& file) const {
    int count = 0;
    for (const Sound& sound : Sounds()) {
        count += sound.file == file ? 1 : 0;
    }
    return count;
}

}  // namespace test
