// What the quad batch puts on the picture. With the atlas on, small images share a page, so a run
// of quads survives a change of image and goes out as one draw call; every image must still show
// only its own pixels, out to its edges and past its texture coordinates.
#include <algorithm>
#include <initializer_list>
#include <numeric>
#include <string>
#include <vector>

#include "app/scene.h"
#include "app/startup.h"
#include "engine_test.h"
#include "full_load.h"
#include "support/game_reset.h"
#include "world/blood_gore.h"

namespace test {
namespace {

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kYellow = 0xFFFF00;
// The clear colour: an alpha-blended opaque texel hides it, an additive one adds to it.
constexpr std::uint32_t kGround = 0x000040;

class PictureTest : public EngineTest {
  protected:
    void SetUp() override {
        setenv("ZS_ATLAS", "1", 1);
        EngineTest::SetUp();
        unsetenv("ZS_ATLAS");
    }
    void Draw(const hgeQuad& q) { hge->Gfx_RenderQuad(&q); }
    std::uint32_t At(int x, int y) { return Pixel(engine->Renderer(), x, y); }
};

TEST_F(PictureTest, ImagesOnAPageShareADrawCallAndShowOnlyTheirOwnPixels) {
    ASSERT_TRUE(engine->Batch().AtlasOn());
    const HTEXTURE a = Image("a.png", 8, 8, kRed, kBlue);
    const HTEXTURE b = Image("b.png", 16, 8, kGreen, kYellow);
    const HTEXTURE big = Image("big.png", 1024, 1024, kGreen, kBlue);  // too large for a page
    EXPECT_EQ(hge->Texture_GetWidth(b, false), 16) << "each image's own size, not its page's";
    EXPECT_EQ(hge->Texture_GetHeight(big, false), 1024);
    ASSERT_TRUE(hge->Gfx_BeginScene(0));
    hge->Gfx_Clear(0xFF000000 | kGround);
    engine->Batch().ResetCounters();

    // One run: twenty squares a, b, a, b..., an untextured quad, and `a` with its texture
    // coordinates running far past its edges.
    for (int i = 0; i < 20; ++i) {
        Draw(Rect(i % 2 == 0 ? a : b, static_cast<float>(i * 40), 100.0f, 40.0f, 40.0f));
    }
    hgeQuad plain = Rect(0, 0.0f, 200.0f, 40.0f, 40.0f);
    for (hgeVertex& v : plain.v) {
        v.col = 0xFF336699;
    }
    Draw(plain);
    Draw(Rect(a, 100.0f, 300.0f, 200.0f, 200.0f, -2.0f, 3.0f));
    // A blend change and an image with a texture of its own each start a new one.
    hgeQuad additive = Rect(a, 0.0f, 0.0f, 40.0f, 40.0f);
    additive.blend = 0;
    Draw(additive);
    Draw(Rect(big, 400.0f, 300.0f, 64.0f, 64.0f));
    engine->Batch().Flush();
    EXPECT_EQ(engine->Batch().geometryCalls, 3);
    EXPECT_EQ(engine->Batch().quadsDrawn, 24);

    for (int i = 0; i < 20; ++i) {
        const std::uint32_t left = i % 2 == 0 ? kRed : kGreen;
        const std::uint32_t right = i % 2 == 0 ? kBlue : kYellow;
        EXPECT_EQ(At(i * 40, 100), left) << "square " << i << ", top-left corner";
        EXPECT_EQ(At(i * 40 + 10, 120), left) << "square " << i;
        EXPECT_EQ(At(i * 40 + 30, 120), right) << "square " << i;
        EXPECT_EQ(At(i * 40 + 39, 139), right) << "square " << i << ", bottom-right corner";
    }
    for (int y = 301; y < 500; y += 7) {
        for (int x = 101; x < 300; x += 7) {
            const std::uint32_t p = At(x, y);
            ASSERT_TRUE(p == kRed || p == kBlue) << x << "," << y << ": " << std::hex << p;
        }
    }
    EXPECT_EQ(At(20, 220), 0x336699u) << "an untextured quad shows its vertex colour";
    EXPECT_EQ(At(10, 10), kRed | kGround) << "an additive quad adds to the picture";
    EXPECT_EQ(At(410, 310), kGreen);
    EXPECT_EQ(At(460, 360), kBlue);

    // A full buffer and a clear end a run too.
    engine->Batch().ResetCounters();
    for (int i = 0; i <= QuadBatch::kQuads; ++i) {
        Draw(Rect(a, 0.0f, 0.0f, 8.0f, 8.0f));
    }
    EXPECT_EQ(engine->Batch().geometryCalls, 1);
    hge->Gfx_Clear(0);
    EXPECT_EQ(engine->Batch().geometryCalls, 2);
    hge->Gfx_EndScene();
    EXPECT_EQ(engine->Batch().geometryCalls, 2) << "a cleared picture has nothing left to send";
}

// The game's full-load scene (set up as the benchmark sets it up) drawn over magenta, which
// shows wherever the game leaves a gap, and read back after every step of the hook.
int windowWidth = 800;
std::vector<Uint8> seen;
int lastQuads = 0;
std::string rendererName;

void DrawAndReadBack(SdlEngine& engine) {
    SDL_SetRenderDrawColor(engine.Renderer(), 255, 0, 255, 255);
    SDL_RenderClear(engine.Renderer());
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(engine.Renderer(), &info);
    rendererName = info.name;
    const int quads = engine.Batch().quadsDrawn;
    RenderFunc();
    lastQuads = engine.Batch().quadsDrawn - quads;
    const std::size_t size = seen.size();
    int w = 0;
    SDL_GetRendererOutputSize(engine.Renderer(), &w, nullptr);
    seen.resize(size + static_cast<std::size_t>(w) * w * 3);
    SDL_RenderReadPixels(engine.Renderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, &seen[size], w * 4);
}

// Marks moved while they show, each read back after: to the layer's corners and edges and
// mostly off it, turned so that they reach past their image's box, and onto a later mark.
struct Move {
    int order;
    float x, y, angle;
};
constexpr Move kMoves[] = {
    {10, 2.0f, 3.0f, 0.785f},
    {11, 798.0f, 597.0f, 2.0f},
    {kBloodCount + 12, 799.5f, 300.0f, 0.9f},
    {13, 400.0f, -20.0f, 0.3f},
    {14, 0.5f, 420.0f, 4.0f},
    {15, 400.0f, 599.0f, 1.2f},
    {16, -1.0f, -1.0f, 0.0f},
    {kBloodCount + 1, 0.0f, 0.0f, 0.0f},
};

void MoveMarks(SdlEngine& engine) {
    for (const Move& move : kMoves) {
        float x = move.x;
        float y = move.y;
        if (move.x == 0.0f && move.y == 0.0f) {  // onto the place of the mark after it
            x = MarkInOrder(move.order + 1)->x + 7.0f;
            y = MarkInOrder(move.order + 1)->y - 5.0f;
        }
        if (move.order < kBloodCount) {
            bloodSplats[move.order]->Activate(x, y, move.angle);
        } else {
            GorePiece& piece = *gorePieces[move.order - kBloodCount];
            piece.Activate(piece.kind, x, y, move.angle);
        }
        DrawAndReadBack(engine);
    }
}

// Frame 0 frees two slots before the ground layer is first drawn. Frame 1 places a splat in
// one, under later marks, then the last piece in the other, on top of every mark, then moves
// that piece off its old place and the marks above, and loses the ground layer's picture as a
// reset renderer does: spoilt, and the engine told so. Frame 2 draws the layer as it is.
void PlayFullLoad(int frame, SdlEngine& engine) {
    SDL_Event event{static_cast<Uint32>(frame == 1 ? SDL_RENDER_TARGETS_RESET : SDL_QUIT)};
    BloodSplat& splat = *bloodSplats[500];
    GorePiece& piece = *gorePieces[kGoreCount - 1];
    if (frame != 1) {
        FillFullLoad();  // frame 0 has no delta: nothing moves before frame 1
    }
    if (frame == 0) {
        splat.active = piece.active = false;
        SDL_SetWindowSize(engine.Window(), windowWidth, windowWidth * 3 / 4);
        return;
    }
    if (frame == 1) {
        splat.Activate(splat.x, splat.y, splat.angle);
        DrawAndReadBack(engine);
        piece.Activate(piece.kind, piece.x, piece.y, piece.angle);
        DrawAndReadBack(engine);
        piece.Activate(piece.kind, piece.x + 30.0f, piece.y, piece.angle);
        DrawAndReadBack(engine);
        MoveMarks(engine);
    }
    DrawAndReadBack(engine);
    for (HTARGET target = 1; frame == 1 && target < 100; ++target) {
        if (engine.Target_GetTexture(target) != 0 && engine.Gfx_BeginScene(target)) {
            engine.Gfx_Clear(0xFF00FF00);
            engine.Gfx_EndScene();
        }
    }
    SDL_PushEvent(&event);
}

// Plays the full-load steps drawn straight and with the ground layer, at each window width, and
// expects the same pictures.
void ExpectTheLayerLooksStraight(std::initializer_list<int> widths) {
    setenv("ZS_WINDOWED", "1", 1);
    SdlHooks& hooks = SdlHooks::Get();
    hooks.clock = SdlHooks::Clock::kAsFastAsFrames;
    for (const int width : widths) {
        windowWidth = width;
        std::vector<Uint8> pictures[2];
        int quietQuads[2] = {};
        for (const bool layer : {false, true}) {
            hooks.refuseTargets = !layer;
            hooks.SetFrameHook(PlayFullLoad);
            RunGame();
            FreeGame();
            pictures[layer].swap(seen);
            quietQuads[layer] = lastQuads;
        }
        constexpr std::size_t kPictures = 5 + std::size(kMoves);
        ASSERT_EQ(pictures[0].size(), kPictures * 3 * width * width) << "every step's picture";
        ASSERT_EQ(pictures[1].size(), pictures[0].size());
        const int largest = std::transform_reduce(
            pictures[0].begin(), pictures[0].end(), pictures[1].begin(), 0,
            [](int a, int b) { return std::max(a, b); },
            [](int a, int b) { return std::abs(a - b); });
        EXPECT_LT(quietQuads[1], quietQuads[0] - 1900) << "the layer stands in for the marks";
        EXPECT_LE(largest, 1) << width << " pixels wide";
    }
    hooks.SetFrameHook(nullptr);
}

TEST_F(PictureTest, TheGroundLayerLooksAsIfEveryMarkWereDrawnStraightAtAnyWindowSize) {
    hge->System_Shutdown();  // every run starts the engine afresh, in a window the hook sizes
    ExpectTheLayerLooksStraight({800, 1280});
}

// The same on OpenGL (Mesa's llvmpipe where there is no GPU), which samples images linearly
// and blends in its own arithmetic; at the picture's own size only: in a 1280 x 960 offscreen
// window the layer and the straight drawing differ with or without patches (not explained yet).
TEST_F(PictureTest, TheGroundLayerLooksAsIfEveryMarkWereDrawnStraightOnOpenGl) {
#ifdef ZS_LEAK_CHECKED
    GTEST_SKIP() << "Mesa's OpenGL driver keeps memory the leak checker cannot name";
#endif
    hge->System_Shutdown();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_RENDER_DRIVER", "opengl", 1);
    ExpectTheLayerLooksStraight({800});
    EXPECT_EQ(rendererName, "opengl");
}

// The browser's loop on a counter of 60 pictures a second: a mark is placed every second frame,
// some eight frames run per picture, and the layer is still drawn at most once per picture,
// each mark going into it exactly once.
std::vector<float> deltas;

void PlaceAMarkEverySecondFrame(int frame, SdlEngine& engine) {
    deltas.push_back(engine.Timer_GetDelta());
    if (frame % 2 == 0 && frame < 200) {
        const int k = frame / 2;
        bloodSplats[k]->Activate(40.0f + (k % 10) * 75.0f, 30.0f + (k / 10) * 58.0f, 0.0f);
    }
    if (frame == 250) {
        SDL_Event quit{SDL_QUIT};
        SDL_PushEvent(&quit);
    }
}

TEST_F(PictureTest, TheBrowsersLoopRunsTwoMillisecondFramesAndDrawsTheLayerOncePerPicture) {
    hge->System_Shutdown();
    hooks.clock = SdlHooks::Clock::kAsFastAsFrames;
    hooks.clock = SdlHooks::Clock::kBrowserOnItsOwn;
    hooks.SetFrameHook(PlaceAMarkEverySecondFrame);
    deltas.clear();
    RunGame();
    FreeGame();
    hooks.SetFrameHook(nullptr);

    ASSERT_EQ(deltas.size(), 251u);
    for (std::size_t i = 2; i < deltas.size(); ++i) {
        ASSERT_FLOAT_EQ(deltas[i], 0.002f) << "frame " << i - 1;
    }
    EXPECT_GE(engine->PicturesShown(), 250 / 9);
    EXPECT_LE(engine->PicturesShown(), 250 / 8 + 1);
    // The first picture draws the layer whole and the ground's own picture; every mark after
    // lies on top and goes straight onto the layer.
    EXPECT_LE(hooks.targetScenes, engine->PicturesShown() + 1);
    EXPECT_EQ(hooks.targetQuads, 2 + 100) << "the ground twice at first, then each mark once";
}

}  // namespace
}  // namespace test
