#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "render2d/hgefont.h"
#include "render2d/hgesprite.h"
#include "support/scripted_engine.h"

namespace {

// A 10-pixel "a", a 6-pixel "b" that tucks 2 pixels under the letter before it, a blank and a
// stand-in "?", all 20 pixels high.
const char* const kSmallFont =
    "[HGEFONT]\n"
    "Bitmap=font.png\n"
    "Char=61,0,0,10,20,0,0\n"
    "Char=62,10,0,6,20,-2,1\n"
    "Char=20,16,0,10,20,0,0\n"
    "Char=\"?\",26,0,8,20,0,0\n";

class FontTest : public ::testing::Test {
  protected:
    std::unique_ptr<hgeFont> Load(const std::string& description,
                                  const std::string& path = "gfx/test.fnt") {
        engine.files[path].assign(description.begin(), description.end());
        return std::make_unique<hgeFont>(path.c_str());
    }
    // The quads drawn since the last call.
    std::vector<hgeQuad> Drawn() {
        std::vector<hgeQuad> quads = engine.Quads();
        engine.ClearRecords();
        return quads;
    }
    bool Called(const std::string& call) const {
        return std::find(engine.calls.begin(), engine.calls.end(), call) != engine.calls.end();
    }
    static int LetterCount(const hgeFont& font) {
        return static_cast<int>(std::count_if(std::begin(font.letters), std::end(font.letters),
                                              [](const hgeSprite* s) { return s != nullptr; }));
    }

    test::ScriptedEngine engine;
};

std::string Join(const std::vector<std::string>& lines, const std::string& eol) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + eol;
    }
    return text;
}

// ---- reading the description ----

TEST_F(FontTest, AnyLineEndReadsTheSame) {
    const std::vector<std::string> lines = {
        "[HGEFONT]", "Bitmap=font.png",        "", "Char=41,0,0,10,20,0,0", "",
        "",          "Char=42,10,4,12,18,-1,3"};
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(eol));
        auto font = Load(Join(lines, eol));
        ASSERT_EQ(LetterCount(*font), 2);
        EXPECT_EQ(font->GetSprite('A')->GetWidth(), 10.0f);
        const hgeSprite* b = font->GetSprite('B');
        EXPECT_EQ(b->texX, 10.0f);
        EXPECT_EQ(b->texY, 4.0f);
        EXPECT_EQ(b->GetWidth(), 12.0f);
        EXPECT_EQ(b->GetHeight(), 18.0f);
        EXPECT_EQ(font->pre[0x42], -1.0f);
        EXPECT_EQ(font->post[0x42], 3.0f);
        EXPECT_EQ(engine.TexturePath(font->texture), "gfx/font.png");
        EXPECT_EQ(b->GetTexture(), font->texture);
    }
}

TEST_F(FontTest, HeaderMustBeExactlyTheTag) {
    const std::string body = "Bitmap=font.png\nChar=41,0,0,10,20,0,0\n";
    for (const std::string header :
         {"[HGEFONT] \n", "\n[HGEFONT]\n", "\xEF\xBB\xBF[HGEFONT]\n", "[hgefont]\n", ""}) {
        SCOPED_TRACE(testing::PrintToString(header));
        engine.ClearRecords();
        auto font = Load(header.empty() ? "" : header + body, "gfx/bad.fnt");
        EXPECT_EQ(engine.Logs(),
                  std::vector<std::string>{"Font gfx/bad.fnt has incorrect format."});
        EXPECT_EQ(LetterCount(*font), 0);
        EXPECT_EQ(font->GetHeight(), 0.0f);
        EXPECT_FALSE(Called("Texture_Load gfx/font.png"));
        font->printf(0, 0, HGETEXT_LEFT, "A");
        EXPECT_EQ(font->GetStringWidth("A"), 0.0f);
        EXPECT_TRUE(Drawn().empty());
    }
}

TEST_F(FontTest, MissingFileLeavesAQuietEmptyFont) {
    hgeFont font("gfx/none.fnt");
    EXPECT_EQ(LetterCount(font), 0);
    EXPECT_TRUE(engine.Logs().empty());
    font.printf(0, 0, HGETEXT_LEFT, "?A");
    EXPECT_TRUE(engine.Quads().empty());
}

TEST_F(FontTest, QuotedAndHexCodesNameTheSameLetter) {
    for (const std::string code : {"\"A\"", "41", "041", " 41", "000000041"}) {
        SCOPED_TRACE(code);
        auto font = Load("[HGEFONT]\nChar=" + code + ",7,0,10,20,0,0\n");
        EXPECT_EQ(LetterCount(*font), 1);
        ASSERT_NE(font->GetSprite('A'), nullptr);
        EXPECT_EQ(font->GetSprite('A')->texX, 7.0f);
    }
    auto lower = Load("[HGEFONT]\nChar=4a,1,2,3,4,0,0\nChar=\",\",5,6,7,8,0,0\n");
    EXPECT_NE(lower->GetSprite('J'), nullptr);
    ASSERT_NE(lower->GetSprite(','), nullptr) << "a quoted comma is a letter";
    EXPECT_EQ(lower->GetSprite(',')->texX, 5.0f);
}

TEST_F(FontTest, OutOfRangeAndMalformedLetterLinesAreSkipped) {
    auto font = Load(
        "[HGEFONT]\n"
        "Char=100,1,1,10,99,0,0\n"       // 256: too big
        "Char=FFFFFFFF,1,1,10,99,0,0\n"  // -1 in 32 bits
        "Char 42,1,1,10,99,0,0\n"        // no "="
        " Char=43,1,1,10,99,0,0\n"       // not at the start
        "char=44,1,1,10,99,0,0\n"
        "Char=  ,3,4,5,6,0,0\n");  // no code at all: code 0
    EXPECT_EQ(LetterCount(*font), 1);
    ASSERT_NE(font->letters[0], nullptr);
    EXPECT_EQ(font->letters[0]->texX, 3.0f);
    EXPECT_EQ(font->GetHeight(), 6.0f) << "skipped lines give no height";
}

TEST_F(FontTest, MissingNumbersCarryOverFromThePreviousLetterLine) {
    auto font = Load(
        "[HGEFONT]\n"
        "Char=43,9\n"  // the very first line: the rest are 0
        "Char=41,1,2,3,4,5,6\n"
        "Char=42 , 7 ,8\n");
    const hgeSprite* c = font->GetSprite('C');
    EXPECT_EQ(c->texX, 9.0f);
    EXPECT_EQ(c->texY, 0.0f);
    EXPECT_EQ(c->GetWidth(), 0.0f);
    const hgeSprite* b = font->GetSprite('B');
    EXPECT_EQ(b->texX, 7.0f);
    EXPECT_EQ(b->texY, 8.0f);
    EXPECT_EQ(b->GetWidth(), 3.0f);
    EXPECT_EQ(b->GetHeight(), 4.0f);
    EXPECT_EQ(font->pre[0x42], 5.0f);
    EXPECT_EQ(font->post[0x42], 6.0f);
}

TEST_F(FontTest, NumbersBeyondTheIntRangeAreClamped) {
    auto font = Load(
        "[HGEFONT]\n"
        "Char=41,99999999999999999999,-99999999999999999999,3,4,+5,-6\n");
    const hgeSprite* a = font->GetSprite('A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->texX, static_cast<float>(INT_MAX));
    EXPECT_EQ(a->texY, static_cast<float>(INT_MIN));
    EXPECT_EQ(a->GetWidth(), 3.0f);
    EXPECT_EQ(font->pre[0x41], 5.0f);
    EXPECT_EQ(font->post[0x41], -6.0f);
}

TEST_F(FontTest, HeightIsTheTallestLetter) {
    auto font = Load("[HGEFONT]\nChar=41,0,0,5,12,0,0\nChar=42,0,0,5,30,0,0\nChar=43,0,0,5,18\n");
    EXPECT_EQ(font->GetHeight(), 30.0f);
}

TEST_F(FontTest, TexturePathFollowsTheDescriptionsFolder) {
    struct Case {
        const char* font;
        const char* line;
        const char* texture;
    };
    for (const Case& c : {Case{"gfx/durvan.fnt", "Bitmap = font.png", "gfx/font.png"},
                          Case{"data\\fonts/hud.fnt", "Bitmap=font.png", "data\\font.png"},
                          Case{"a/b\\c/d.fnt", "Bitmap\t=\tx.png trailing", "a/b\\x.png"},
                          Case{"hud.fnt", "Bitmap=font.png", "font.png"}}) {
        SCOPED_TRACE(c.font);
        engine.ClearRecords();
        auto font = Load(std::string("[HGEFONT]\n") + c.line + "\nChar=41,0,0,4,4,0,0\n", c.font);
        EXPECT_TRUE(Called(std::string("Texture_Load ") + c.texture));
        EXPECT_EQ(font->GetSprite('A')->GetTexture(), engine.TextureHandle(c.texture));
    }
    // A line that only begins like a texture line but yields no name is passed over.
    for (const char* line : {"Bitmap =", "Bitmaps = font.png"}) {
        engine.ClearRecords();
        auto nameless = Load(std::string("[HGEFONT]\n") + line + "\nChar=41,0,0,4,4,0,0\n");
        EXPECT_EQ(std::count_if(engine.calls.begin(), engine.calls.end(),
                                [](const std::string& s) { return s.starts_with("Texture_Load"); }),
                  0);
        EXPECT_EQ(nameless->GetSprite('A')->GetTexture(), 0u);
    }
}

TEST_F(FontTest, EachTextureServesTheLettersAfterItAndOnlyTheLastIsFreed) {
    const int base = engine.refCount;
    {
        auto font = Load(
            "[HGEFONT]\n"
            "Char=30,0,0,4,4,0,0\n"
            "Bitmap=one.png\nChar=31,0,0,4,4,0,0\n"
            "Bitmap=two.png\nChar=32,0,0,4,4,0,0\n");
        EXPECT_EQ(font->GetSprite('0')->GetTexture(), 0u);
        EXPECT_EQ(engine.TexturePath(font->GetSprite('1')->GetTexture()), "gfx/one.png");
        EXPECT_EQ(engine.TexturePath(font->GetSprite('2')->GetTexture()), "gfx/two.png");
        EXPECT_EQ(engine.refCount, base + 4) << "the font and its three letters";
    }
    EXPECT_EQ(engine.refCount, base);
    EXPECT_TRUE(Called("Texture_Free gfx/two.png"));
    EXPECT_FALSE(Called("Texture_Free gfx/one.png"));
}

TEST_F(FontTest, ATextureThatFailsToLoadEndsTheDescription) {
    engine.missing.insert("gfx/lost.png");
    auto font = Load(
        "[HGEFONT]\n"
        "Bitmap=font.png\nChar=41,0,0,4,4,0,0\n"
        "Bitmap=lost.png\nChar=42,0,0,4,4,0,0\n"
        "Bitmap=font.png\n");
    EXPECT_EQ(font->texture, 0u);
    EXPECT_EQ(engine.TexturePath(font->GetSprite('A')->GetTexture()), "gfx/font.png");
    EXPECT_EQ(font->GetSprite('B'), nullptr);
    EXPECT_EQ(std::count(engine.calls.begin(), engine.calls.end(), "Texture_Load gfx/font.png"), 1);
    EXPECT_TRUE(engine.Logs().empty());
    font.reset();
    EXPECT_FALSE(Called("Texture_Free gfx/font.png")) << "only the latest texture is freed";
}

TEST_F(FontTest, ALetterDefinedAgainReplacesTheOldOneAtOnce) {
    const int base = engine.refCount;
    auto font = Load("[HGEFONT]\nChar=41,0,0,10,20,0,0\nChar=41,0,0,30,20,2,0\n");
    EXPECT_EQ(font->GetSprite('A')->GetWidth(), 30.0f);
    EXPECT_EQ(font->pre[0x41], 2.0f);
    EXPECT_EQ(engine.refCount, base + 2) << "the first letter is gone";
}

// ---- drawing ----

TEST_F(FontTest, PenAdvancesByPreWidthAndPost) {
    auto font = Load(kSmallFont);
    font->Render(100.0f, 50.0f, HGETEXT_LEFT, "aba");
    const auto quads = Drawn();
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[0].v[0].x, 100.0f);
    EXPECT_EQ(quads[0].v[0].y, 50.0f);
    EXPECT_EQ(quads[1].v[0].x, 108.0f) << "negative pre tucks b under the a";
    EXPECT_EQ(quads[1].v[1].x, 114.0f);
    EXPECT_EQ(quads[2].v[0].x, 115.0f);
    EXPECT_EQ(font->GetStringWidth("aba"), 25.0f);
}

TEST_F(FontTest, UnknownBytesDrawTheQuestionMarkOrNothing) {
    auto font = Load(kSmallFont);
    font->Render(0.0f, 0.0f, HGETEXT_LEFT, "aZ\r");
    auto quads = Drawn();
    ASSERT_EQ(quads.size(), 3u);
    const float questionU = 26.0f / 64.0f;  // the 64-pixel test texture
    EXPECT_FLOAT_EQ(quads[1].v[0].tx, questionU);
    EXPECT_FLOAT_EQ(quads[2].v[0].tx, questionU) << "a carriage return is just another byte";
    EXPECT_EQ(quads[2].v[0].x, 18.0f);

    auto bare = Load("[HGEFONT]\nChar=61,0,0,10,20,0,0\n", "gfx/bare.fnt");
    bare->Render(0.0f, 0.0f, HGETEXT_LEFT, "aZa");
    quads = Drawn();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[1].v[0].x, 10.0f) << "an unknown byte does not move the pen";
    EXPECT_EQ(bare->GetStringWidth("aZa"), 20.0f);
}

TEST_F(FontTest, HighBytesDrawTheirOwnLetters) {
    // Windows-1254 capital O with diaeresis and small u with diaeresis.
    auto font = Load(std::string(kSmallFont) +
                     "Char=D6,30,0,9,20,0,0\nChar=\"\xFC\",40,0,7,20,0,0\nChar=\"\xFF\",50\n");
    EXPECT_NE(font->letters[0xFF], nullptr);
    font->printf(0.0f, 0.0f, HGETEXT_LEFT, "\xD6\xFC");
    const auto quads = Drawn();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_FLOAT_EQ(quads[0].v[0].tx, 30.0f / 64.0f);
    EXPECT_FLOAT_EQ(quads[1].v[0].tx, 40.0f / 64.0f);
    EXPECT_EQ(quads[1].v[0].x, 9.0f);
}

TEST_F(FontTest, CentringRoundsHalvesToEven) {
    auto font = Load("[HGEFONT]\nChar=4D,0,0,13,20,0,0\nChar=4E,0,0,15,20,0,0\n");
    font->printf(400.0f, 0.0f, HGETEXT_CENTER, "M");
    font->printf(400.0f, 0.0f, HGETEXT_CENTER, "N");
    font->printf(400.0f, 0.0f, HGETEXT_RIGHT, "MN");
    const auto quads = Drawn();
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_EQ(quads[0].v[0].x, 394.0f);
    EXPECT_EQ(quads[1].v[0].x, 392.0f);
    EXPECT_EQ(quads[3].v[1].x, 400.0f) << "right-aligned text ends at x";
}

TEST_F(FontTest, EachLineFeedMovesDownOneLineAndRealigns) {
    auto font = Load("[HGEFONT]\nChar=\"?\",0,0,8,20,0,0\n");
    font->printf(10.0f, 10.0f, HGETEXT_LEFT, "\xD6ld\xFCr\xFClen = %d\nPuan = %d", 3, 400);
    auto quads = Drawn();
    ASSERT_EQ(quads.size(), 13u + 10u);
    EXPECT_EQ(quads[12].v[0].y, 10.0f);
    EXPECT_EQ(quads[13].v[0].y, 30.0f);
    EXPECT_EQ(quads[13].v[0].x, 10.0f);

    font->Render(400.0f, 0.0f, HGETEXT_CENTER, "??\n????");
    quads = Drawn();
    ASSERT_EQ(quads.size(), 6u);
    EXPECT_EQ(quads[0].v[0].x, 392.0f);
    EXPECT_EQ(quads[2].v[0].x, 384.0f) << "each line centred on its own width";
}

TEST_F(FontTest, PrintfKeepsTheFirst1023Characters) {
    auto font = Load(kSmallFont);
    const std::string text(2000, 'a');
    font->printf(0.0f, 0.0f, HGETEXT_LEFT, "%s", text.c_str());
    EXPECT_EQ(Drawn().size(), 1023u);
}

TEST_F(FontTest, ColourDepthAndBlendReachEveryLetter) {
    auto font = Load(kSmallFont);
    font->SetColor(0xFF102030);
    font->SetZ(0.1f);
    font->SetBlendMode(BLEND_COLORADD);
    font->Render(0.0f, 0.0f, HGETEXT_LEFT, "ab ?");
    const auto quads = Drawn();
    ASSERT_EQ(quads.size(), 4u);
    for (const hgeQuad& q : quads) {
        EXPECT_EQ(q.v[3].col, 0xFF102030u);
        EXPECT_EQ(q.v[0].z, 0.1f);
        EXPECT_EQ(q.blend, BLEND_COLORADD);
    }
}

TEST_F(FontTest, StringWidthMeasuresOneOrAllLines) {
    auto font = Load(kSmallFont);
    EXPECT_EQ(font->GetStringWidth("aaa\na", false), 30.0f);
    EXPECT_EQ(font->GetStringWidth("a\naaa", false), 10.0f);
    EXPECT_EQ(font->GetStringWidth("a\naaa", true), 30.0f);
    EXPECT_EQ(font->GetStringWidth("a\r\n\r\naa", true), 20.0f);
    EXPECT_EQ(font->GetStringWidth("", true), 0.0f);
    EXPECT_EQ(font->GetStringWidth("b", true), 5.0f) << "pre and post count";
}

// ---- boxed text ----

// The rows (top y) each drawn quad sits on, in drawing order.
std::vector<float> Rows(const std::vector<hgeQuad>& quads) {
    std::vector<float> rows;
    for (const hgeQuad& q : quads) {
        rows.push_back(q.v[0].y);
    }
    return rows;
}

TEST_F(FontTest, NarrowBoxPutsEveryWordOnItsOwnLine) {
    auto font = Load(kSmallFont);
    font->printfb(5.0f, 0.0f, 15.0f, 100.0f, HGETEXT_LEFT, "aa %s aa", "ab");
    const auto quads = Drawn();
    EXPECT_EQ(Rows(quads), (std::vector<float>{0, 0, 20, 20, 40, 40}));
    EXPECT_EQ(quads[2].v[0].x, 5.0f);
    EXPECT_EQ(quads[4].v[0].x, 5.0f);
}

TEST_F(FontTest, OverWideWordStaysWholeOnItsOwnLine) {
    auto font = Load(kSmallFont);
    font->printfb(0.0f, 0.0f, 35.0f, 100.0f, HGETEXT_LEFT, "a aaaaaa a\na a");
    const auto quads = Drawn();
    EXPECT_EQ(Rows(quads), (std::vector<float>{0, 20, 20, 20, 20, 20, 20, 40, 60, 60, 60}));
    EXPECT_EQ(quads[6].v[1].x, 60.0f) << "the long word is not split";
    EXPECT_EQ(quads[9].v[0].x, 10.0f) << "\"a a\" fits on one line, blank included";
}

TEST_F(FontTest, BoxAlignmentPlacesTheBlock) {
    auto font = Load(kSmallFont);
    font->printfb(0.0f, 0.0f, 200.0f, 100.0f, HGETEXT_BOTTOM, "aa");
    font->printfb(0.0f, 0.0f, 200.0f, 100.0f, HGETEXT_BOTTOM | HGETEXT_RIGHT, "a\naa");
    font->printfb(0.0f, 0.0f, 200.0f, 101.0f, HGETEXT_MIDDLE | HGETEXT_CENTER, "a");
    font->printfb(0.0f, 0.0f, 25.0f, 100.0f, HGETEXT_BOTTOM, "aa aa");  // wraps: two lines
    const auto quads = Drawn();
    ASSERT_EQ(quads.size(), 10u);
    EXPECT_EQ(Rows({quads.begin() + 6, quads.end()}), (std::vector<float>{60, 60, 80, 80}));
    EXPECT_EQ(quads[0].v[0].y, 80.0f) << "one line's top at y + h - height";
    EXPECT_EQ(quads[2].v[0].y, 60.0f);
    EXPECT_EQ(quads[2].v[1].x, 200.0f);
    EXPECT_EQ(quads[4].v[1].x, 200.0f);
    EXPECT_EQ(quads[3].v[0].y, 80.0f);
    EXPECT_EQ(quads[5].v[0].x, 95.0f);
    EXPECT_EQ(quads[5].v[0].y, 40.0f) << "(101 - 20) / 2 = 40.5 rounds to the even 40";
}

// ---- hostile descriptions ----

TEST_F(FontTest, OverlongLinesAreCutAndTheRestOfTheLineDropped) {
    const std::string padded = "Char=41,0,0,10,20,0,0" + std::string(300, ' ');
    auto font = Load("[HGEFONT]\n" + padded + "Char=42,0,0,10,20,0,0\n" + std::string(5000, 'x') +
                     "\nChar=43,0,0,10,20,0,0");
    EXPECT_NE(font->GetSprite('A'), nullptr);
    EXPECT_EQ(font->GetSprite('B'), nullptr) << "past character 255 nothing is read";
    EXPECT_NE(font->GetSprite('C'), nullptr) << "the last line needs no line end";
}

TEST_F(FontTest, OverlongPathsAreRefusedWithoutOverrun) {
    const std::string longFont = "gfx/" + std::string(300, 'f') + ".fnt";
    auto refused = Load(kSmallFont, longFont);
    EXPECT_EQ(LetterCount(*refused), 0);
    refused->printf(0.0f, 0.0f, HGETEXT_LEFT, "a");
    EXPECT_TRUE(Drawn().empty());

    // 250 characters of folder plus a 20-character name: past 259, so that texture line is
    // skipped and the next letter keeps the texture before it.
    const std::string deepFont = std::string(245, 'd') + "/gfx/" + "deep.fnt";
    auto deep = Load(
        "[HGEFONT]\nBitmap=font.png\nBitmap=" + std::string(16, 'n') + ".png\nChar=41,0,0,4,4\n",
        deepFont);
    EXPECT_EQ(engine.TexturePath(deep->GetSprite('A')->GetTexture()),
              std::string(245, 'd') + "/gfx/font.png");
}

TEST_F(FontTest, EveryTruncationOfADescriptionIsSafe) {
    const std::string full = std::string(kSmallFont) + "Char=\"";  // ends inside a quote
    const int base = engine.refCount;
    for (std::size_t length = 0; length <= full.size(); ++length) {
        auto font = Load(full.substr(0, length));
        font->printfb(0.0f, 0.0f, 30.0f, 50.0f, HGETEXT_CENTER, "ab ?\xFF zz\n\r a");
        EXPECT_LE(Drawn().size(), 12u);
        font.reset();
        EXPECT_EQ(engine.refCount, base) << "length " << length;
    }
}

TEST_F(FontTest, TenThousandLetterLinesKeepTheLastOfEach) {
    std::string text = "[HGEFONT]\nBitmap=font.png\n";
    char line[64];
    for (int i = 0; i < 10000; ++i) {
        std::snprintf(line, sizeof line, "Char=%x,0,0,%d,%d,0,0\n", i % 256, i, i % 50);
        text += line;
    }
    const int base = engine.refCount;
    auto font = Load(text);
    EXPECT_EQ(LetterCount(*font), 256);
    EXPECT_EQ(engine.refCount, base + 1 + 256);
    EXPECT_EQ(font->GetSprite('A')->GetWidth(), 9793.0f);  // 38 * 256 + 65, the last "41"
    EXPECT_EQ(font->GetHeight(), 49.0f);
    font.reset();
    EXPECT_EQ(engine.refCount, base);
}

}  // namespace
