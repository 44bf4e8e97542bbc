// The texture atlas: small images share a page, so quads of different images go out in one draw
// call, while every image still shows its own pixels and reports its own size.
#include <cstdlib>
#include <vector>

#include "engine/sdl/texture_atlas.h"
#include "engine_fixture.h"

namespace test {
namespace {

constexpr SDL_Color kRed{255, 0, 0, 255};
constexpr SDL_Color kBlue{0, 0, 255, 255};
constexpr SDL_Color kGreen{0, 255, 0, 255};
constexpr SDL_Color kYellow{255, 255, 0, 255};

std::uint32_t Rgb(SDL_Color c) {
    return (static_cast<std::uint32_t>(c.r) << 16) | (static_cast<std::uint32_t>(c.g) << 8) | c.b;
}

// An upright w x h rectangle at (x, y) showing the texture from (u0, v0) to (u1, v1).
hgeQuad Rect(HTEXTURE tex, float x, float y, float w, float h, float u0 = 0.0f, float v0 = 0.0f,
             float u1 = 1.0f, float v1 = 1.0f) {
    hgeQuad q{};
    const float xs[4] = {x, x + w, x + w, x};
    const float ys[4] = {y, y, y + h, y + h};
    const float us[4] = {u0, u1, u1, u0};
    const float vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
        q.v[i] = hgeVertex{xs[i], ys[i], 0.5f, 0xFFFFFFFF, us[i], vs[i]};
    }
    q.tex = tex;
    q.blend = BLEND_DEFAULT;
    return q;
}

class AtlasTest : public EngineTest {
  protected:
    void SetUp() override {
        setenv("ZS_ATLAS", "1", 1);
        EngineTest::SetUp();
        unsetenv("ZS_ATLAS");
        dir = MakeTempDir();
    }
    HTEXTURE Load(const char* name, int w, int h, SDL_Color left, SDL_Color right,
                  bool jpeg = false) {
        const std::string path = dir + "/" + name;
        WriteTwoColourImage(path, w, h, left, right, jpeg);
        return hge->Texture_Load(path.c_str(), 0, false);
    }
    std::uint32_t Pixel(int x, int y) { return ReadPixel(engine->Renderer(), x, y) & 0xFFFFFF; }
    void Begin() {
        ASSERT_TRUE(hge->Gfx_BeginScene(0));
        hge->Gfx_Clear(0xFF000000);
        engine->Batch().ResetCounters();
    }
    std::string dir;
};

TEST_F(AtlasTest, DifferentImagesAlternatingGoOutInOneDrawCallEachShowingItsOwnPixels) {
    ASSERT_TRUE(engine->Batch().AtlasOn());
    const HTEXTURE a = Load("a.png", 8, 8, kRed, kBlue);
    const HTEXTURE b = Load("b.png", 16, 8, kGreen, kYellow);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    Begin();
    // Twenty 40x40 squares in a row, a, b, a, b...
    for (int i = 0; i < 20; ++i) {
        const hgeQuad q = Rect(i % 2 == 0 ? a : b, static_cast<float>(i * 40), 100.0f, 40, 40);
        hge->Gfx_RenderQuad(&q);
    }
    engine->Batch().Flush();
    EXPECT_EQ(engine->Batch().geometryCalls, 1);
    EXPECT_EQ(engine->Batch().quadsDrawn, 20);
    for (int i = 0; i < 20; ++i) {
        const SDL_Color left = i % 2 == 0 ? kRed : kGreen;
        const SDL_Color right = i % 2 == 0 ? kBlue : kYellow;
        EXPECT_EQ(Pixel(i * 40 + 10, 120), Rgb(left)) << "square " << i << " left half";
        EXPECT_EQ(Pixel(i * 40 + 30, 120), Rgb(right)) << "square " << i << " right half";
        // The very edges show the image's own outermost pixels, not the neighbour on the page.
        EXPECT_EQ(Pixel(i * 40, 100), Rgb(left)) << "square " << i << " top-left corner";
        EXPECT_EQ(Pixel(i * 40 + 39, 139), Rgb(right)) << "square " << i << " bottom-right";
    }
    hge->Gfx_EndScene();
}

TEST_F(AtlasTest, BlendChangesAndUntexturedQuadsStillBatchAsBefore) {
    const HTEXTURE a = Load("a.png", 8, 8, kRed, kBlue);
    Begin();
    const hgeQuad textured = Rect(a, 0, 0, 40, 40);
    hgeQuad plain = Rect(0, 40, 0, 40, 40);
    plain.v[0].col = plain.v[1].col = plain.v[2].col = plain.v[3].col = 0xFF336699;
    hgeQuad additive = textured;
    additive.blend = 0;
    hge->Gfx_RenderQuad(&textured);
    hge->Gfx_RenderQuad(&plain);     // untextured: the page's white block, same call
    hge->Gfx_RenderQuad(&additive);  // blend change: a new call
    engine->Batch().Flush();
    EXPECT_EQ(engine->Batch().geometryCalls, 2);
    EXPECT_EQ(Pixel(60, 20), 0x336699u) << "untextured quad shows its vertex colour";
    hge->Gfx_EndScene();
}

TEST_F(AtlasTest, CoordinatesBeyondTheImageNeverReachItsNeighbours) {
    // Three images side by side on the page; the middle one is drawn with coordinates running
    // far past its edges.
    const HTEXTURE before = Load("before.png", 8, 8, kGreen, kGreen);
    const HTEXTURE middle = Load("middle.png", 8, 8, kRed, kBlue);
    const HTEXTURE after = Load("after.png", 8, 8, kYellow, kYellow);
    ASSERT_NE(before, 0u);
    ASSERT_NE(after, 0u);
    Begin();
    const hgeQuad q = Rect(middle, 100, 100, 200, 200, -2.0f, -2.0f, 3.0f, 3.0f);
    hge->Gfx_RenderQuad(&q);
    engine->Batch().Flush();
    for (int y = 101; y < 300; y += 7) {
        for (int x = 101; x < 300; x += 7) {
            const std::uint32_t p = Pixel(x, y);
            ASSERT_TRUE(p == Rgb(kRed) || p == Rgb(kBlue))
                << "pixel " << x << "," << y << " is " << std::hex << p;
        }
    }
    hge->Gfx_EndScene();
}

TEST_F(AtlasTest, SizesAreEachImagesOwnAndALargeImageKeepsItsOwnTexture) {
    const HTEXTURE a = Load("a.png", 32, 16, kRed, kBlue);
    const HTEXTURE jpg = Load("b.jpg", 48, 24, kGreen, kYellow, true);
    const HTEXTURE ground = Load("ground.png", 1024, 1024, kGreen, kBlue);
    ASSERT_NE(ground, 0u);
    EXPECT_EQ(hge->Texture_GetWidth(a, false), 32);
    EXPECT_EQ(hge->Texture_GetHeight(a, false), 16);
    EXPECT_EQ(hge->Texture_GetWidth(jpg, false), 48);
    EXPECT_EQ(hge->Texture_GetHeight(jpg, false), 24);
    EXPECT_EQ(hge->Texture_GetWidth(ground, false), 1024);
    EXPECT_EQ(hge->Texture_GetHeight(ground, false), 1024);
    EXPECT_EQ(engine->Batch().AtlasPages(), 1);

    Begin();
    const hgeQuad qa = Rect(a, 0, 0, 40, 40);
    const hgeQuad qg = Rect(ground, 100, 0, 64, 64);
    hge->Gfx_RenderQuad(&qa);
    hge->Gfx_RenderQuad(&qg);  // not on the page: its own call
    hge->Gfx_RenderQuad(&qa);
    engine->Batch().Flush();
    EXPECT_EQ(engine->Batch().geometryCalls, 3);
    EXPECT_EQ(Pixel(110, 10), Rgb(kGreen));
    EXPECT_EQ(Pixel(160, 10), Rgb(kBlue));
    hge->Gfx_EndScene();
}

TEST_F(AtlasTest, AFreedImageLeavesTheOthersIntact) {
    const HTEXTURE a = Load("a.png", 8, 8, kRed, kBlue);
    const HTEXTURE b = Load("b.png", 8, 8, kGreen, kYellow);
    hge->Texture_Free(a);
    EXPECT_EQ(hge->Texture_GetWidth(a, false), 0);
    const HTEXTURE c = Load("c.png", 8, 8, kYellow, kGreen);
    EXPECT_NE(c, a) << "a freed handle never names another image";
    Begin();
    const hgeQuad qb = Rect(b, 0, 0, 40, 40);
    const hgeQuad qc = Rect(c, 40, 0, 40, 40);
    hge->Gfx_RenderQuad(&qb);
    hge->Gfx_RenderQuad(&qc);
    engine->Batch().Flush();
    EXPECT_EQ(Pixel(10, 10), Rgb(kGreen));
    EXPECT_EQ(Pixel(50, 10), Rgb(kYellow));
    EXPECT_EQ(engine->Batch().geometryCalls, 1);
    hge->Gfx_EndScene();
}

// Without ZS_ATLAS the software renderer keeps one texture per image: it rasterises each
// triangle on its own, so shared pages would buy it nothing.
using DefaultEngineTest = EngineTest;
TEST_F(DefaultEngineTest, SoftwareRendererMakesNoPagesUnlessAsked) {
    EXPECT_FALSE(engine->Batch().AtlasOn());
    EXPECT_EQ(engine->Batch().AtlasPages(), 0);
}

struct Block {
    int x, y, w, h;
};

bool Overlap(const Block& a, const Block& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

TEST(ShelfPacker, BlocksStayOnThePageNeverOverlapAndAFullPageSaysSo) {
    ShelfPacker packer(256);
    std::vector<Block> placed;
    // Sizes in a mixed order, as images come in, until the page refuses one.
    for (int i = 0; i < 1000; ++i) {
        Block b{0, 0, 4 + (i * 37) % 60, 4 + (i * 53) % 40};
        if (!packer.Place(b.w, b.h, &b.x, &b.y)) {
            break;
        }
        placed.push_back(b);
    }
    ASSERT_GT(placed.size(), 20u);
    ASSERT_LT(placed.size(), 1000u) << "a 256 page cannot hold a thousand blocks";
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const Block& b = placed[i];
        EXPECT_TRUE(b.x >= 0 && b.y >= 0 && b.x + b.w <= 256 && b.y + b.h <= 256) << i;
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_FALSE(Overlap(b, placed[j])) << i << " overlaps " << j;
        }
    }
    int x = 0;
    int y = 0;
    EXPECT_FALSE(ShelfPacker(64).Place(65, 1, &x, &y)) << "wider than the page";
    EXPECT_FALSE(ShelfPacker(64).Place(0, 5, &x, &y)) << "an empty block";
}

TEST(ShelfPacker, ALowBlockFillsTheLowestShelfWithRoom) {
    ShelfPacker packer(100);
    int x = 0;
    int y = 0;
    ASSERT_TRUE(packer.Place(60, 30, &x, &y));  // shelf at 0, 30 high
    ASSERT_TRUE(packer.Place(60, 10, &x, &y));  // no room beside: shelf at 30, 10 high
    EXPECT_EQ(y, 30);
    ASSERT_TRUE(packer.Place(30, 8, &x, &y));  // fits both; the 10-high shelf wastes less
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 30);
}

TEST(CopyWithPadding, RepeatsTheOutermostPixelsIntoTheBorder) {
    // 2 x 2 image in a source three pixels wide (the third is not the image's).
    const std::uint32_t src[] = {1, 2, 99, 3, 4, 99};
    std::uint32_t dst[16] = {};
    CopyWithPadding(src, 2, 2, 3, dst, 1);
    const std::uint32_t expected[16] = {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(dst[i], expected[i]) << "pixel " << i % 4 << "," << i / 4;
    }
}

TEST(TexturePlace, MapsIntoItsPlaceAndClampsOnAPageOnly) {
    const TexturePlace onPage = TexturePlace::OnPage(64, 32, 16, 8, 128);
    float u = 0.0f;
    float v = 0.0f;
    onPage.Map(0.5f, 1.0f, &u, &v);
    EXPECT_FLOAT_EQ(u, (64.0f + 8.0f) / 128.0f);
    EXPECT_FLOAT_EQ(v, (32.0f + 8.0f) / 128.0f);
    onPage.Map(-3.0f, 7.0f, &u, &v);
    EXPECT_FLOAT_EQ(u, 64.0f / 128.0f);
    EXPECT_FLOAT_EQ(v, 40.0f / 128.0f);
    TexturePlace::Own(16, 8).Map(-3.0f, 7.0f, &u, &v);
    EXPECT_FLOAT_EQ(u, -3.0f);
    EXPECT_FLOAT_EQ(v, 7.0f);
}

}  // namespace
}  // namespace test
