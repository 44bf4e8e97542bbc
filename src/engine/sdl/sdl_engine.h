// The engine the game runs on: SDL2 for the window, the picture and input, SDL2_image for textures
// and SDL2_mixer for sound. hgeCreate hands out the one SdlEngine, which starts and stops the
// engine, runs the loop and passes the interface on to its components:
//   SdlDisplay  the window and the renderer (sdl_display.h)
//   QuadBatch   textures and quads (quad_batch.h)
//   SdlAudio    effects and music (sdl_audio.h)
//   SdlInput    keys, mouse, focus and Alt+Enter (sdl_input.h)
//   FrameClock  delta, frame-rate limit and which frames present (frame_clock.h)
// What it reads from the environment is in EngineOptions (options.h).
//
// For the headless tests it shows its renderer, window and components, and RunFrame plays exactly
// one frame (event pump, frame callback, render callback).
#pragma once

#include <cstdint>

#include "engine/hge.h"
#include "engine/random_source.h"
#include "engine/sdl/frame_clock.h"
#include "engine/sdl/options.h"
#include "engine/sdl/quad_batch.h"
#include "engine/sdl/sdl_audio.h"
#include "engine/sdl/sdl_display.h"
#include "engine/sdl/sdl_input.h"

class SdlEngine final : public HGE {
  public:
    // The engine hgeCreate handed out, or null when none is alive.
    static SdlEngine* Instance();
    // What hgeCreate does: the one engine, with one more reference. hgeCreate lives in a file of
    // its own, so a program that defines its own (the benchmark, which switches engines) still
    // reaches this one.
    static HGE* Acquire();

    SDL_Renderer* Renderer() const { return display_.Renderer(); }
    SDL_Window* Window() const { return display_.Window(); }
    QuadBatch& Batch() { return batch_; }
    const SdlAudio& Audio() const { return audio_; }
    bool SoundPaused() const { return soundPaused_; }
    const SdlInput& Input() const { return input_; }
    int PicturesShown() const { return picturesShown_; }
    // One frame: pump events, then the frame callback and the render callback. Returns true when
    // the loop should end (the frame callback said so, the window was closed, or the engine is
    // not initiated). While the window has lost focus it runs no callback and returns false.
    // The frame starts at `start` on the counter, or when its callbacks start if 0.
    bool RunFrame(std::uint64_t start = 0);
    // The browser's loop, called once per animation frame at `now`: every frame come due on the
    // 2 ms grid since the last call (FrameClock::TakeDueFrames), each starting at its place on
    // the grid, and only the last one's picture shown. Returns true when the loop should end.
    bool RunDueFrames(std::uint64_t now);

#ifdef ZS_ENGINE_HOOKS
    // Only in engine_sdl_hooks, which scripted runs and benchmarks link (see CMakeLists.txt).
    // Called at the start of every RunFrame, before events are pumped, with the number of the
    // frame (from 0): scripted runs push their input from here and end the game when they like.
    using FrameHook = void (*)(int frame, SdlEngine& engine);
    void SetFrameHook(FrameHook hook);
    // A scripted run wants its frames as fast as they render, not held to the display's pace.
    bool limitFrameRate = true;
    // Makes Target_Create give nothing, as on a renderer without render targets.
    bool refuseTargets = false;
    // Makes System_Start run the browser's loop on a counter of its own that advances one 60 Hz
    // picture per step, as fast as the frames run.
    bool browserLoop = false;
    // Scenes begun into render targets, and quads drawn into them.
    int targetScenes = 0;
    int targetQuads = 0;
#endif

    // ---- the engine interface ----
    void Release() override;
    bool System_Initiate() override;
    void System_Shutdown() override;
    bool System_Start() override;
    void System_SetStateBool(hgeBoolState state, bool value) override;
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
    void System_SetStateInt(hgeIntState state, int value) override;
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    void* Resource_Load(const char* filename, std::uint32_t* size) override;
    void Resource_Free(void* res) override;
    HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool bMipmap) override;
    void Texture_Free(HTEXTURE tex) override {
        batch_.Free(tex);
    }
    int Texture_GetWidth(HTEXTURE tex, bool) override {
        return batch_.Width(tex);
    }
    int Texture_GetHeight(HTEXTURE tex, bool) override {
        return batch_.Height(tex);
    }
    HEFFECT Effect_Load(const char* filename, std::uint32_t size) override;
    // The game plays every effect at pitch 1, so the pitch is not resampled.
    HCHANNEL Effect_PlayEx(HEFFECT eff, int volume, int pan, float, bool loop) override {
        return audio_.PlayEffect(eff, volume, pan, loop);
    }
    HSTREAM Stream_Load(const char* filename, std::uint32_t size) override;
    HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume) override {
        return audio_.PlayStream(stream, loop, volume);
    }
    void Random_Seed(int seed) override;
    int Random_Int(int min, int max) override {
        return random_.Int(min, max);
    }
    float Random_Float(float min, float max) override {
        return random_.Float(min, max);
    }
    float Timer_GetDelta() override {
        return clock_.Delta();
    }
    void Input_GetMousePos(float* x, float* y) override {
        input_.MousePos(x, y);
    }
    bool Input_GetKeyState(int key) override {
        return input_.KeyState(key);
    }
    int Input_GetKey() override {
        return input_.Key();
    }
    bool Gfx_BeginScene(HTARGET target) override;
    void Gfx_EndScene() override;
    void Gfx_Clear(std::uint32_t color) override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;
    HTARGET Target_Create(int width, int height, bool zbuffer) override;
    void Target_Free(HTARGET target) override;
    HTEXTURE Target_GetTexture(HTARGET target) override {
        return batch_.IsTarget(target) ? target : 0;
    }

  private:
    SdlEngine();
    ~SdlEngine() override;
    SdlEngine(const SdlEngine&) = delete;
    SdlEngine& operator=(const SdlEngine&) = delete;

    void CloseAll();
    bool StartsFullscreen() const;
    // Shows the last logged line where a player who did not start the game from a terminal sees
    // it (a message box on Windows; elsewhere standard error is enough).
    static void TellWhyNotStarted();
    // Whether the loop holds frames to the frame-rate limit and the display's pace.
    bool Paced() const;
    // Sleeps until the next frame is due.
    void WaitForNextFrame();
    // The browser's loop: RunDueFrames once per animation frame until the game ends.
    static void BrowserStep(void* engine);
    void EndInBrowser();
    // Whether this frame's picture is drawn at all.
    bool Drawing() const {
        return initiated_ && (targetScene_ || !clock_.SkipsDrawing());
    }

    int refCount_ = 0;
    bool initiated_ = false;

    bool windowed_ = false;
    bool useSound_ = true;
    int screenWidth_ = 800;
    int screenHeight_ = 600;
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;
    hgeCallback restoreFunc_ = nullptr;
    // A scene into a render target begins only in frames whose picture is shown: a game that
    // keeps a picture in a target brings it up to date once per shown picture, not in every
    // frame between two of them.
    bool targetScene_ = false;
    bool soundPaused_ = false;
    // Since start-up: frames whose callbacks ran, and pictures presented.
    int framesRun_ = 0;
    int picturesShown_ = 0;
    EngineOptions options_;

    SdlDisplay display_;
    QuadBatch batch_;
    SdlAudio audio_;
    SdlInput input_;
    FrameClock clock_;
    RandomSource random_;

#ifdef ZS_ENGINE_HOOKS
    FrameHook frameHook_ = nullptr;
    int hookFrame_ = 0;
#endif
};
