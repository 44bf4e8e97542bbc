// Textures, the read-back picture of a drawn quad, and how quads are batched into draw calls.
#include <cmath>
#include <cstdlib>

#include "engine_fixture.h"

namespace test {
namespace {

constexpr SDL_Color kOrange{200, 160, 80, 255};
constexpr SDL_Color kGreen{0, 255, 0, 255};

int Channel(std::uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

void ExpectColourNear(std::uint32_t actual, int r, int g, int b, const char* where) {
    EXPECT_NEAR(Channel(actual, 16), r, 3) << where;
    EXPECT_NEAR(Channel(actual, 8), g, 3) << where;
    EXPECT_NEAR(Channel(actual, 0), b, 3) << where;
}

// A square of side `size` centred on (cx, cy), turned by `angle` radians, showing the texture
// from u0 to u1 across.
hgeQuad TurnedSquare(HTEXTURE tex, float cx, float cy, float size, float angle,
                     std::uint32_t colour, float u0, float u1) {
    hgeQuad q{};
    const float h = size / 2.0f;
    const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    const float us[4] = {u0, u1, u1, u0};
    const float vs[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        const float x = corners[i][0];
        const float y = corners[i][1];
        q.v[i].x = cx + x * std::cos(angle) - y * std::sin(angle);
        q.v[i].y = cy + x * std::sin(angle) + y * std::cos(angle);
        q.v[i].z = 0.5f;
        q.v[i].col = colour;
        q.v[i].tx = us[i];
        q.v[i].ty = vs[i];
    }
    q.tex = tex;
    q.blend = BLEND_DEFAULT;
    return q;
}

class GraphicsTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        dir = MakeTempDir();
    }
    HTEXTURE LoadImage(const char* name, int w, int h, bool jpeg) {
        const std::string path = dir + "/" + name;
        WriteTwoColourImage(path, w, h, kOrange, kGreen, jpeg);
        return hge->Texture_Load(path.c_str(), 0, false);
    }
    std::string dir;
};

TEST_F(GraphicsTest, PngAndJpegLoadWithTheirSizes) {
    const HTEXTURE png = LoadImage("a.png", 32, 16, false);
    const HTEXTURE jpg = LoadImage("b.jpg", 48, 24, true);
    ASSERT_NE(png, 0u);
    ASSERT_NE(jpg, 0u);
    EXPECT_NE(png, jpg);
    EXPECT_EQ(hge->Texture_GetWidth(png, false), 32);
    EXPECT_EQ(hge->Texture_GetHeight(png, false), 16);
    EXPECT_EQ(hge->Texture_GetWidth(jpg, false), 48);
    EXPECT_EQ(hge->Texture_GetHeight(jpg, false), 24);
    // A freed or unknown handle has no size.
    hge->Texture_Free(png);
    EXPECT_EQ(hge->Texture_GetWidth(png, false), 0);
    EXPECT_EQ(hge->Texture_GetWidth(0, false), 0);
}

TEST_F(GraphicsTest, TurnedTintedHalfTransparentQuadLandsOnTheExpectedPixels) {
    const HTEXTURE tex = LoadImage("two.png", 32, 16, false);
    ASSERT_NE(tex, 0u);
    ASSERT_TRUE(hge->Gfx_BeginScene(0));
    hge->Gfx_Clear(0xFF0000FF);  // blue
    // 100x100 turned by 45 degrees: a diamond reaching 70 pixels from the centre. Only the
    // orange left half of the texture is mapped; the tint is half transparent.
    const hgeQuad q = TurnedSquare(tex, 400.0f, 300.0f, 100.0f, static_cast<float>(M_PI / 4.0),
                                   0x80FF8040, 0.0f, 0.5f);
    hge->Gfx_RenderQuad(&q);
    engine->Batch().Flush();

    SDL_Renderer* r = engine->Renderer();
    // texture * tint, blended at alpha 128/255 over the blue clear colour
    const double a = 128.0 / 255.0;
    const int er = static_cast<int>(std::lround(200 * a));
    const int eg = static_cast<int>(std::lround(160 * 128 / 255.0 * a));
    const int eb = static_cast<int>(std::lround(80 * 64 / 255.0 * a + 255 * (1 - a)));
    ExpectColourNear(ReadPixel(r, 400, 300), er, eg, eb, "centre");
    // Above the centre by 65: inside the diamond, outside an unturned square.
    ExpectColourNear(ReadPixel(r, 400, 235), er, eg, eb, "upper tip");
    ExpectColourNear(ReadPixel(r, 462, 300), er, eg, eb, "right tip, still the left half");
    // The corner of an unturned square lies outside the diamond.
    ExpectColourNear(ReadPixel(r, 345, 245), 0, 0, 255, "outside");
    ExpectColourNear(ReadPixel(r, 10, 10), 0, 0, 255, "far away");
    hge->Gfx_EndScene();
}

TEST_F(GraphicsTest, AdditiveQuadAddsToThePicture) {
    ASSERT_TRUE(hge->Gfx_BeginScene(0));
    hge->Gfx_Clear(0xFF204060);
    // Untextured, no alpha-blend bit: the colour is added at its alpha.
    hgeQuad q = TurnedSquare(0, 100.0f, 100.0f, 40.0f, 0.0f, 0xFF402010, 0.0f, 1.0f);
    q.blend = 0;
    hge->Gfx_RenderQuad(&q);
    engine->Batch().Flush();
    ExpectColourNear(ReadPixel(engine->Renderer(), 100, 100), 0x60, 0x60, 0x70, "added");
    hge->Gfx_EndScene();
}

TEST_F(GraphicsTest, SameTextureQuadsGoOutAsOneDrawCallAndChangesSplitThem) {
    const HTEXTURE a = LoadImage("a.png", 8, 8, false);
    const HTEXTURE b = LoadImage("b.png", 8, 8, false);
    ASSERT_TRUE(hge->Gfx_BeginScene(0));
    hge->Gfx_Clear(0xFF000000);
    engine->Batch().ResetCounters();
    hgeQuad qa = TurnedSquare(a, 50.0f, 50.0f, 8.0f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f);
    hgeQuad qb = TurnedSquare(b, 60.0f, 50.0f, 8.0f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f);
    for (int i = 0; i < 50; ++i) {
        hge->Gfx_RenderQuad(&qa);
    }
    EXPECT_EQ(engine->Batch().geometryCalls, 0) << "nothing goes out before the run ends";
    engine->Batch().Flush();
    EXPECT_EQ(engine->Batch().geometryCalls, 1);

    engine->Batch().ResetCounters();
    hge->Gfx_RenderQuad(&qa);
    hge->Gfx_RenderQuad(&qa);
    hge->Gfx_RenderQuad(&qb);  // texture change
    hge->Gfx_RenderQuad(&qb);
    hgeQuad additive = qb;
    additive.blend = 0;
    hge->Gfx_RenderQuad(&additive);  // blend change
    hge->Gfx_RenderQuad(&qa);
    hge->Gfx_EndScene();  // ends the last run
    EXPECT_EQ(engine->Batch().geometryCalls, 4);
    EXPECT_EQ(engine->Batch().quadsDrawn, 6);
}

TEST_F(GraphicsTest, AFullBatchAndAClearEndARun) {
    const HTEXTURE a = LoadImage("a.png", 8, 8, false);
    const hgeQuad q = TurnedSquare(a, 50.0f, 50.0f, 8.0f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f);
    ASSERT_TRUE(hge->Gfx_BeginScene(0));
    engine->Batch().ResetCounters();
    for (int i = 0; i < QuadBatch::kQuads + 1; ++i) {
        hge->Gfx_RenderQuad(&q);
    }
    EXPECT_EQ(engine->Batch().geometryCalls, 1);
    hge->Gfx_Clear(0);
    EXPECT_EQ(engine->Batch().geometryCalls, 2);
    hge->Gfx_EndScene();
    EXPECT_EQ(engine->Batch().geometryCalls, 2) << "a cleared picture has nothing left to send";
}

TEST_F(GraphicsTest, ClearColoursThePictureAndLeavesTheLetterboxBarsBlack) {
    // A window wider than 4:3 shows the 800x600 picture with bars left and right.
    SDL_SetWindowSize(engine->Window(), 1000, 600);
    engine->RunFrame();
    ASSERT_TRUE(hge->Gfx_BeginScene(0));
    hge->Gfx_Clear(0xFF336699);
    int w = 0;
    int h = 0;
    SDL_GetRendererOutputSize(engine->Renderer(), &w, &h);
    ASSERT_EQ(w, 1000);
    // Read the whole output: logical read-back coordinates start at the picture, not the window.
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    SDL_RenderSetLogicalSize(engine->Renderer(), 0, 0);
    SDL_RenderSetViewport(engine->Renderer(), nullptr);
    ASSERT_EQ(SDL_RenderReadPixels(engine->Renderer(), nullptr, SDL_PIXELFORMAT_ARGB8888,
                                   pixels.data(), w * 4),
              0);
    EXPECT_EQ(pixels[300 * w + 50] & 0xFFFFFF, 0u) << "left bar";
    EXPECT_EQ(pixels[300 * w + 950] & 0xFFFFFF, 0u) << "right bar";
    EXPECT_EQ(pixels[300 * w + 500] & 0xFFFFFF, 0x336699u) << "picture";
    EXPECT_EQ(pixels[300 * w + 101] & 0xFFFFFF, 0x336699u) << "picture's left edge";
}

TEST_F(GraphicsTest, BrokenImageGivesNoTextureAndOneLineNamingIt) {
    const std::string path = dir + "/broken.png";
    WriteFile(path, "this is no picture");
    StderrCapture err;
    EXPECT_EQ(hge->Texture_Load(path.c_str(), 0, false), 0u);
    EXPECT_EQ(hge->Texture_Load("gfx/no-such-image.png", 0, false), 0u);
    const auto lines = err.Lines();
    ASSERT_EQ(lines.size(), 2u) << err.Text();
    EXPECT_EQ(lines[0].rfind("zombie-shooter: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(path), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("gfx/no-such-image.png"), std::string::npos) << lines[1];
}

TEST_F(GraphicsTest, TextureLoadsFromMemoryWhenGivenASize) {
    const std::string path = dir + "/m.png";
    WriteTwoColourImage(path, 20, 10, kOrange, kGreen, false);
    std::uint32_t size = 0;
    void* bytes = hge->Resource_Load(path.c_str(), &size);
    ASSERT_NE(bytes, nullptr);
    const HTEXTURE tex = hge->Texture_Load(static_cast<const char*>(bytes), size, false);
    hge->Resource_Free(bytes);
    ASSERT_NE(tex, 0u);
    EXPECT_EQ(hge->Texture_GetWidth(tex, false), 20);
}

}  // namespace
}  // namespace test
