// Frames allocate nothing: the batch's vertex and index buffers, the mixer's channels and the
// event queue are all sized before the first frame. Every allocation of the process counts, SDL's
// and the C++ library's included.
#include <cstdio>

#include "engine_test.h"
#include "support/alloc_counter.h"

namespace test {
namespace {

HGE* game = nullptr;
HTEXTURE textures[3] = {};
HEFFECT shot = 0;
int frameNumber = 0;

// What a busy game frame asks of the engine.
bool BusyFrame() {
    float at[2] = {};
    game->Input_GetMousePos(&at[0], &at[1]);
    // Centred, as the game plays every sound: a panned one has the mixer register an effect.
    if (game->Input_GetKeyState(HGEK_LBUTTON) || game->Input_GetKey() == HGEK_W) {
        game->Effect_PlayEx(shot, 5, 0, 1.0f, false);
    }
    game->Random_Seed(frameNumber++);
    game->Random_Int(1, 4);
    game->Timer_GetDelta();
    return false;
}

// 3000 quads in runs of 100 over three textures, then an additive run.
bool BusyRender() {
    game->Gfx_BeginScene(0);
    game->Gfx_Clear(0xFF102030);
    for (int i = 0; i < 3000; ++i) {
        const hgeQuad q = Rect(textures[(i / 100) % 3], static_cast<float>(i % 780),
                               static_cast<float>((i * 7) % 580), 20.0f, 20.0f);
        game->Gfx_RenderQuad(&q);
    }
    for (int i = 0; i < 50; ++i) {
        hgeQuad q = Rect(0, static_cast<float>(i * 10), 100.0f, 20.0f, 20.0f);
        q.blend = 0;
        game->Gfx_RenderQuad(&q);
    }
    game->Gfx_EndScene();
    return false;
}

using Allocation = EngineTest;

TEST_F(Allocation, BusyFramesOfQuadsSoundsAndInputAllocateNothing) {
    ASSERT_TRUE(AllocCounterEnabled());
    game = hge;
    hge->System_SetState(HGE_FRAMEFUNC, BusyFrame);
    hge->System_SetState(HGE_RENDERFUNC, BusyRender);
    for (int i = 0; i < 3; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "t%d.png", i);
        textures[i] = Image(name, 16, 16, 0xFF0000, 0xFF);
        ASSERT_NE(textures[i], 0u);
    }
    shot = hge->Effect_Load(ZS_SOURCE_DIR "/assets/sfx/colt1911-fire.wav", 0);
    ASSERT_NE(shot, 0u);
    SDL_Joystick* pad = PlugPad();  // its sticks busy too
    constexpr int kWarmUp = 10;     // the renderer's and the event queue's own buffers grow first
    constexpr int kFrames = 30;
    std::uint64_t allocations = 0;
    for (int frame = 0; frame < kWarmUp + kFrames; ++frame) {
        if (frame == kWarmUp) {
            engine->Batch().ResetCounters();
        }
        Push(Key(SDLK_w, frame % 2 == 0));
        Push(Button(frame % 3 == 0));
        SDL_JoystickSetVirtualAxis(pad, frame % 4, static_cast<Sint16>(frame % 3 * 30000 - 30000));
        // Every other frame the mouse stays put and the aiming stick moves the crosshair.
        SDL_WarpMouseInWindow(engine->Window(), (frame / 2 * 37) % 800, (frame / 2 * 11) % 600);
        const std::uint64_t before = AllocationCount();
        engine->RunFrame();
        allocations += frame >= kWarmUp ? AllocationCount() - before : 0;
    }
    EXPECT_EQ(allocations, 0u) << "allocations during " << kFrames << " frames";
    EXPECT_EQ(engine->Batch().quadsDrawn, kFrames * 3050);
    EXPECT_EQ(engine->Batch().geometryCalls, kFrames * 31) << "a change of texture ends a run";
}

}  // namespace
}  // namespace test
