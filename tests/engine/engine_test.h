// The SDL engine headless: dummy video and audio drivers and the software renderer, so no display
// or sound card is needed and the pixels come out the same everywhere.
#pragma once

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/engine_choice.h"
#include "engine/hge.h"
#include "engine/sdl/sdl_engine.h"
#include "support/sdl_hooks.h"

namespace test {

// A fresh engine, initiated, released after the test; a folder of its own for files.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_RENDER_DRIVER", "software", 1);
        // The dummy driver's window never has focus, and SDL drops pad input without it.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        char name[] = "/tmp/zs-engine-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        SetAudioDriver();
        // A test before may have run a program that chose its own engine.
        ChooseEngine(SdlHooks::Acquire);
        hge = hgeCreate(HGE_VERSION);
        engine = SdlEngine::Instance();
        hge->System_SetState(HGE_WINDOWED, true);
        ASSERT_TRUE(hge->System_Initiate());
    }
    void TearDown() override {
        hooks.clock = SdlHooks::Clock::kPaced;
        hooks.refuseTargets = false;
        hooks.targetScenes = 0;
        hooks.targetQuads = 0;
        hooks.SetFrameHook(nullptr);
        hooks.SetPictureHook(nullptr);
        hge->Release();
        std::filesystem::remove_all(dir);
    }
    virtual void SetAudioDriver() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    // An opaque image whose left half is `left` and right half `right` (0xRRGGBB), saved as PNG
    // and loaded.
    HTEXTURE Image(const char* name, int w, int h, std::uint32_t left, std::uint32_t right) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
        const SDL_Rect halves[2] = {{0, 0, w / 2, h}, {w / 2, 0, w - w / 2, h}};
        SDL_FillRect(s, &halves[0], 0xFF000000 | left);
        SDL_FillRect(s, &halves[1], 0xFF000000 | right);
        const std::string path = dir + "/" + name;
        EXPECT_EQ(IMG_SavePNG(s, path.c_str()), 0) << IMG_GetError();
        SDL_FreeSurface(s);
        return hge->Texture_Load(path.c_str(), 0, false);
    }

    std::string dir;
    HGE* hge = nullptr;  // the hooks around the engine, as the game gets it
    SdlEngine* engine = nullptr;
    SdlHooks& hooks = SdlHooks::Get();
};

inline SDL_Event Key(SDL_Keycode sym, bool down, Uint16 mod = KMOD_NONE) {
    SDL_Event e{down ? SDL_KEYDOWN : SDL_KEYUP};
    e.key.keysym = SDL_Keysym{SDL_GetScancodeFromKey(sym), sym, mod, 0};
    return e;
}

inline SDL_Event Button(bool down) {
    SDL_Event e{down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP};
    e.button.button = SDL_BUTTON_LEFT;
    return e;
}

// A virtual pad plugged in now: SDL's 6 axes and 21 buttons, in the order of SDL's names for them.
inline SDL_Joystick* PlugPad() {
    return SDL_JoystickOpen(SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 21, 0));
}

// An upright w x h rectangle at (x, y) showing the texture from (t0, t0) to (t1, t1).
inline hgeQuad Rect(HTEXTURE tex, float x, float y, float w, float h, float t0 = 0.0f,
                    float t1 = 1.0f) {
    hgeQuad q{};
    const float xs[4] = {x, x + w, x + w, x};
    const float ys[4] = {y, y, y + h, y + h};
    const float us[4] = {t0, t1, t1, t0};
    const float vs[4] = {t0, t0, t1, t1};
    for (int i = 0; i < 4; ++i) {
        q.v[i] = hgeVertex{xs[i], ys[i], 0.5f, 0xFFFFFFFF, us[i], vs[i]};
    }
    q.tex = tex;
    q.blend = BLEND_DEFAULT;
    return q;
}

inline void Push(SDL_Event e) {
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

// The colour at a pixel of the picture, as 0xRRGGBB.
inline std::uint32_t Pixel(SDL_Renderer* renderer, int x, int y) {
    const SDL_Rect r{x, y, 1, 1};
    std::uint32_t argb = 0;
    EXPECT_EQ(SDL_RenderReadPixels(renderer, &r, SDL_PIXELFORMAT_ARGB8888, &argb, 4), 0);
    return argb & 0xFFFFFF;
}

}  // namespace test
