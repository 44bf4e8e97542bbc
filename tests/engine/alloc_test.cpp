// Nothing is allocated while frames run: malloc and friends are replaced in this executable so
// every allocation on the game's thread is counted, SDL's and the C++ library's included.
#include <pthread.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>

#include "engine_fixture.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t n, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
pthread_t gameThread;

// Kept out of line so a debugger can stop on every counted allocation.
__attribute__((noinline)) void Counted() {
    allocations.fetch_add(1, std::memory_order_relaxed);
}

void Count() {
    if (counting.load(std::memory_order_relaxed) && pthread_equal(pthread_self(), gameThread)) {
        Counted();
    }
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) {
    Count();
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
    Count();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
    Count();
    return __libc_realloc(p, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    Count();
    *out = __libc_memalign(alignment, size);
    return *out != nullptr ? 0 : 12;  // ENOMEM
}
}

namespace test {
namespace {

HGE* game = nullptr;
HTEXTURE textures[3] = {};
HEFFECT shot = 0;
int frameNumber = 0;

hgeQuad QuadAt(HTEXTURE tex, float x, float y, int blend) {
    hgeQuad q{};
    const float xs[4] = {x, x + 20.0f, x + 20.0f, x};
    const float ys[4] = {y, y, y + 20.0f, y + 20.0f};
    for (int i = 0; i < 4; ++i) {
        q.v[i] = hgeVertex{
            xs[i], ys[i], 0.5f, 0xC0FFFFFF, (i == 1 || i == 2) ? 1.0f : 0.0f, i >= 2 ? 1.0f : 0.0f};
    }
    q.tex = tex;
    q.blend = blend;
    return q;
}

// What a busy game frame asks of the engine.
bool BusyFrame() {
    game->Random_Seed(0);
    float x = 0.0f;
    float y = 0.0f;
    game->Input_GetMousePos(&x, &y);
    const bool fire = game->Input_GetKeyState(HGEK_LBUTTON) || game->Input_GetKey() == HGEK_W;
    if (fire || frameNumber % 2 == 0) {
        game->Effect_PlayEx(shot, 5, 0, 1.0f, false);
    }
    game->Random_Int(1, 4);
    game->Random_Float(-50.0f, 0.0f);
    game->Timer_GetDelta();
    ++frameNumber;
    return false;
}

void BusyRender() {
    game->Gfx_BeginScene(0);
    game->Gfx_Clear(0xFF102030);
    // 3000 quads in runs of 100 over three textures, then some additive ones.
    for (int i = 0; i < 3000; ++i) {
        const hgeQuad q = QuadAt(textures[(i / 100) % 3], static_cast<float>(i % 780),
                                 static_cast<float>((i * 7) % 580), BLEND_DEFAULT);
        game->Gfx_RenderQuad(&q);
    }
    for (int i = 0; i < 50; ++i) {
        const hgeQuad q = QuadAt(0, static_cast<float>(i * 10), 100.0f, 0);
        game->Gfx_RenderQuad(&q);
    }
    game->Gfx_EndScene();
}

bool BusyRenderCallback() {
    BusyRender();
    return false;
}

void PushFrameInput(int frame) {
    PushKey(SDLK_w, frame % 2 == 0);
    PushMouseButton(SDL_BUTTON_LEFT, frame % 3 == 0);
    SDL_WarpMouseInWindow(SdlEngine::Instance()->Window(), (frame * 37) % 800, (frame * 11) % 600);
}

TEST(Allocation, FramesOfManyQuadsSoundsAndInputAllocateNothing) {
    gameThread = pthread_self();
    UseHeadlessDrivers();
    game = hgeCreate(HGE_VERSION);
    game->System_SetState(HGE_WINDOWED, true);
    game->System_SetState(HGE_FRAMEFUNC, BusyFrame);
    game->System_SetState(HGE_RENDERFUNC, BusyRenderCallback);
    ASSERT_TRUE(game->System_Initiate());
    const std::string dir = MakeTempDir();
    for (int i = 0; i < 3; ++i) {
        const std::string path = dir + "/t" + std::to_string(i) + ".png";
        WriteTwoColourImage(path, 16, 16, SDL_Color{255, 0, 0, 255}, SDL_Color{0, 0, 255, 255},
                            false);
        textures[i] = game->Texture_Load(path.c_str(), 0, false);
        ASSERT_NE(textures[i], 0u);
    }
    WriteWav(dir + "/shot.wav", 0.05);
    shot = game->Effect_Load((dir + "/shot.wav").c_str(), 0);
    ASSERT_NE(shot, 0u);

    SdlEngine* engine = SdlEngine::Instance();
    // Start-up: the renderer's and the event queue's own buffers grow to their working size.
    for (int frame = 0; frame < 10; ++frame) {
        PushFrameInput(frame);
        engine->RunFrame();
    }
    engine->Batch().ResetCounters();
    long total = 0;
    constexpr int kFrames = 30;
    for (int frame = 0; frame < kFrames; ++frame) {
        PushFrameInput(frame);
        allocations = 0;
        counting = true;
        engine->RunFrame();
        counting = false;
        total += allocations;
    }
    EXPECT_EQ(total, 0) << "allocations during " << kFrames << " frames";
    EXPECT_EQ(engine->Batch().quadsDrawn, kFrames * 3050);
    // 30 runs of 100 quads plus one additive run per frame.
    EXPECT_EQ(engine->Batch().geometryCalls, kFrames * 31);
    game->Release();
}

}  // namespace
}  // namespace test
