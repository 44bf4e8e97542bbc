#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "render2d/hgefont.h"
#include "render2d/hgesprite.h"
#include "support/scripted_engine.h"

namespace {

using Floats = std::vector<float>;

// A 10-pixel "a", a 6-pixel "b" that tucks 2 pixels under the letter before it, a blank, the
// stand-in "?" and a Windows-1254 "Ö" (a byte above 127), all 20 pixels high, on the scripted
// engine's 64-pixel texture.
const char* const kSmallFont =
    "[HGEFONT]\nBitmap=font.png\nChar=61,0,0,10,20,0,0\nChar=62,10,0,6,20,-2,1\n"
    "Char=20,16,0,10,20,0,0\nChar=\"?\",26,0,8,20,0,0\nChar=D6,40,0,9,20,0,0\n";

class FontTest : public ::testing::Test {
  protected:
    std::unique_ptr<hgeFont> Load(const std::string& text, const char* path = "gfx/test.fnt") {
        engine.files[path].assign(text.begin(), text.end());
        return std::make_unique<hgeFont>(path);
    }
    std::vector<hgeQuad> Drawn() {
        std::vector<hgeQuad> quads = engine.Quads();
        engine.ClearRecords();
        return quads;
    }
    // The top-left corners of the quads as x, y pairs, in drawing order.
    static Floats Spots(const std::vector<hgeQuad>& quads) {
        Floats xy;
        for (const hgeQuad& q : quads) {
            xy.insert(xy.end(), {q.v[0].x, q.v[0].y});
        }
        return xy;
    }

    test::ScriptedEngine engine;
};

// What each description leaves behind: its letters (by byte, ascending), the font's height and
// the log; a font that reads nothing draws nothing, and every letter goes with the font.
TEST_F(FontTest, DescriptionsYieldTheirLettersOrAQuietEmptyFont) {
    const std::string bad = "Font gfx/test.fnt has incorrect format.";
    const std::string cut = "Char=41,0,0,10,20,0,0" + std::string(300, ' ') + "Char=42,0,0,4,4\n";
    struct Case {
        const char* what;
        std::string letters;
        float height;
        std::string log;
        std::optional<std::string> text;  // none: no such file
    };
    const Case cases[] = {
        {"LF, empty lines", "AB", 20, "", "[HGEFONT]\n\nChar=41,0,0,4,20\n\n\nChar=42,0,0,4,9\n"},
        {"CR LF", "AB", 20, "", "[HGEFONT]\r\nChar=41,0,0,4,20\r\n\r\nChar=42,0,0,4,9"},
        {"CR", "AB", 20, "", "[HGEFONT]\rChar=41,0,0,4,20\r\rChar=42,0,0,4,9\r"},
        {"no file", "", 0, "", std::nullopt},
        {"empty file", "", 0, bad, ""},
        {"blank after the tag", "", 0, bad, "[HGEFONT] \nChar=41,0,0,4,20"},
        {"byte order mark", "", 0, bad, "\xEF\xBB\xBF[HGEFONT]\nChar=41,0,0,4,20"},
        {"lower-case tag", "", 0, bad, "[hgefont]\nChar=41,0,0,4,20"},
        {"hex and quoted codes", ",?ABCDJ\xFC", 5, "",
         "[HGEFONT]\nChar=41\nChar=042\nChar= 43\nChar=000000044\nChar=4a\nChar=\"?\"\n"
         "Char=\",\"\nChar=\"\xFC\",0,0,4,5"},
        {"codes 0 to 255 and no further, malformed lines", std::string("\0E\xFF", 3), 9, "",
         "[HGEFONT]\nChar=100,0,0,4,99\nChar=FFFFFFFF,0,0,4,99\nChar 42,0,0,4,99\n"
         " Char=43,0,0,4,99\nchar=44,0,0,4,99\nChar=45,0,0,4,9\nChar=  ,0,0,4,6\n"
         "Char=FF,0,0,4,7"},
        {"overlong lines", "AC", 20, "",
         "[HGEFONT]\n" + cut + std::string(5000, 'x') + "\nChar=43"},
        {"a lost texture ends it", "A", 8, "",
         "[HGEFONT]\nChar=41,0,0,4,8\nBitmap=lost.png\nChar=42,0,0,4,9"},
        {"a letter defined again", "A", 9, "", "[HGEFONT]\nChar=41,0,0,4,8\nChar=41,0,0,4,9"},
    };
    engine.missing.insert("gfx/lost.png");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine.files.clear();
        engine.ClearRecords();
        const int base = engine.refCount;
        auto font = c.text ? Load(*c.text) : std::make_unique<hgeFont>("gfx/test.fnt");
        std::string letters;
        for (int i = 0; i < 256; ++i) {
            letters += font->letters[i] != nullptr ? std::string(1, static_cast<char>(i)) : "";
        }
        EXPECT_EQ(letters, c.letters);
        EXPECT_EQ(font->GetHeight(), c.height);
        EXPECT_EQ(engine.Logs(), std::vector<std::string>(c.log.empty() ? 0 : 1, c.log));
        font->Render(0.0f, 0.0f, HGETEXT_LEFT, "\x01");  // unknown: the stand-in or nothing
        EXPECT_EQ(engine.quadCount, c.letters.find('?') != std::string::npos ? 1 : 0);
        font.reset();
        EXPECT_EQ(engine.refCount, base);
    }
}

// Numbers missing from a letter line keep the previous line's (0 before the first one).
TEST_F(FontTest, NumbersBeyondTheIntRangeAreClamped) {
    auto font = Load(
        "[HGEFONT]\nChar=43,9\nChar=41,99999999999999999999,-99999999999999999999,3,4,+5,-6\n"
        "Char=42 , 7 ,8\n");
    const auto numbers = [&](unsigned char c) {
        const hgeSprite* s = font->GetSprite(c);
        return Floats{s->texX, s->texY, s->width, s->height, font->pre[c], font->post[c]};
    };
    const auto most = static_cast<float>(INT_MAX), least = static_cast<float>(INT_MIN);
    EXPECT_EQ(numbers('A'), (Floats{most, least, 3, 4, 5, -6}));
    EXPECT_EQ(numbers('B'), (Floats{7, 8, 3, 4, 5, -6}));
    EXPECT_EQ(numbers('C'), (Floats{9, 0, 0, 0, 0, 0}));
}

// Texture names are relative to the description's folder; a path that would not fit loads
// nothing, and a name-less line is passed over.
TEST_F(FontTest, TexturePathFollowsTheDescriptionsFolder) {
    const std::string deep = std::string(245, 'd') + "/gfx/";
    struct Case {
        std::string font, bitmap, texture;
    };
    const Case cases[] = {
        {"gfx/durvan.fnt", "Bitmap = font.png", "gfx/font.png"},
        {"data\\fonts/hud.fnt", "Bitmap=font.png", "data\\font.png"},
        {"hud.fnt", "Bitmap=font.png", "font.png"},
        {"gfx/hud.fnt", "Bitmap =\nBitmaps = font.png", {}},
        {deep + "deep.fnt", "Bitmap=font.png\nBitmap=" + std::string(16, 'n') + ".png",
         deep + "font.png"},
        {"gfx/" + std::string(300, 'f') + ".fnt", "Bitmap=font.png", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font);
        auto font = Load("[HGEFONT]\n" + c.bitmap + "\nChar=41,0,0,4,4\n", c.font.c_str());
        const hgeSprite* a = font->GetSprite('A');
        EXPECT_EQ(a != nullptr ? engine.TexturePath(a->GetTexture()) : "", c.texture);
    }
}

// The font's colour, depth and blend reach every letter drawn; a carriage return is just a byte.
TEST_F(FontTest, PenAdvancesByPreWidthAndPostAndUnknownBytesDrawTheQuestionMark) {
    auto font = Load(kSmallFont);
    font->SetColor(0xFF102030);
    font->SetZ(0.1f);
    font->SetBlendMode(BLEND_COLORADD);
    font->Render(100.0f, 50.0f, HGETEXT_LEFT, "abZ\xD6\r");
    const auto quads = Drawn();
    ASSERT_EQ(quads.size(), 5u);
    EXPECT_EQ(Spots(quads), (Floats{100, 50, 108, 50, 115, 50, 123, 50, 132, 50}));
    EXPECT_EQ((Floats{quads[2].v[0].tx, quads[3].v[0].tx, quads[4].v[0].tx}),
              (Floats{26.0f / 64, 40.0f / 64, 26.0f / 64}));
    EXPECT_EQ(font->GetStringWidth("abZ\xD6\r"), 40.0f);
    for (const hgeQuad& q : quads) {
        EXPECT_EQ(std::tie(q.v[3].col, q.v[1].z, q.blend),
                  std::make_tuple(0xFF102030u, 0.1f, BLEND_COLORADD));
    }
    auto bare = Load("[HGEFONT]\nChar=61,0,0,10,20,0,0\n", "gfx/bare.fnt");
    bare->Render(0.0f, 0.0f, HGETEXT_LEFT, "aZa");
    EXPECT_EQ(Spots(Drawn()), (Floats{0, 0, 10, 0})) << "no stand-in: the pen stays";

    // Tracking follows every letter, the last one too, and scale times proportion widens both the
    // pen's steps and the measure: (10 + 1 + 6 - 2 + 1 + 1) x 2 x 1.5 = 51, so "ab" set right of
    // 100 starts at 49; its "b", 6 x 3 by 20 x 2, ends at 94, its post and tracking before 100.
    font->tracking = 1.0f;
    font->scale = 2.0f;
    font->proportion = 1.5f;
    EXPECT_EQ(font->GetStringWidth("ab"), 51.0f);
    font->Render(100.0f, 50.0f, HGETEXT_RIGHT, "ab");
    const auto scaled = Drawn();
    ASSERT_EQ(scaled.size(), 2u);
    EXPECT_EQ(Spots(scaled), (Floats{49, 50, 76, 50}));
    EXPECT_EQ((Floats{scaled[1].v[2].x, scaled[1].v[2].y}), (Floats{94, 90}));
}

// 13 and 15 pixels centred on 400 start at 394 and 392; right-aligned text ends at x; each line
// feed moves down one line and each line is measured alone. The widest line is the measure,
// wherever it stands, and the line feeds and carriage returns between lines are no letters.
TEST_F(FontTest, CentringRoundsHalvesToEvenAndEachLineFeedRealigns) {
    auto font = Load("[HGEFONT]\nChar=4D,0,0,13,20\nChar=4E,0,0,15,20\nChar=\"?\",0,0,8,20\n");
    font->printf(400.0f, 10.0f, HGETEXT_CENTER, "M\nN\n%d", 12);
    font->printf(400.0f, 10.0f, HGETEXT_RIGHT, "?\nMN");
    const auto quads = Drawn();
    ASSERT_EQ(quads.size(), 7u);
    EXPECT_EQ(Spots(quads),
              (Floats{394, 10, 392, 30, 392, 50, 400, 50, 392, 10, 372, 30, 385, 30}));
    EXPECT_EQ(font->GetStringWidth("M\n\n\rN\n?"), 15.0f) << "the widest line";
    EXPECT_EQ(font->GetStringWidth("M\n\n\rN\n?", false), 13.0f) << "the first line";
}

TEST_F(FontTest, PrintfKeepsTheFirst1023Characters) {
    auto font = Load(kSmallFont);
    font->printf(0.0f, 0.0f, HGETEXT_LEFT, "%s", std::string(2000, 'a').c_str());
    EXPECT_EQ(Drawn().size(), 1023u);
}

// An over-wide word stays whole on a line of its own; the block sits at the box's bottom right,
// or in its middle, rounded like centred text: (101 - 20) / 2 = 40.5 to the even 40.
TEST_F(FontTest, BoxedTextWrapsAndAlignsTheBlock) {
    auto font = Load(kSmallFont);
    font->printfb(0.0f, 0.0f, 15.0f, 100.0f, HGETEXT_BOTTOM | HGETEXT_RIGHT, "aaa %s", "a");
    font->printfb(0.0f, 0.0f, 200.0f, 101.0f, HGETEXT_MIDDLE | HGETEXT_CENTER, "a");
    const auto quads = Drawn();
    ASSERT_EQ(quads.size(), 5u);
    EXPECT_EQ(Spots(quads), (Floats{-15, 60, -5, 60, 5, 60, 5, 80, 95, 40}));
}

}  // namespace
