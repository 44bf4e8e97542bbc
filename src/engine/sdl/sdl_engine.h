// The engine the game runs on: SDL2 for the window, the picture and input, SDL2_image for textures
// and SDL2_mixer for sound. There is one SdlEngine, which starts and stops the engine, runs the
// loop's frames and passes the interface on to its components:
//   SdlDisplay  the window and the renderer (sdl_display.h)
//   QuadBatch   textures and quads (quad_batch.h)
//   SdlAudio    effects and music (sdl_audio.h)
//   SdlInput    keys, mouse, focus and Alt+Enter (sdl_input.h)
//   FrameLoop   the one loop step, its clock and pacing (engine/loop/frame_loop.h)
// What it reads from the environment is in EngineOptions (options.h). Its code is split by job:
// sdl_engine.cpp (states, the log, loading), sdl_startup.cpp, sdl_loop.cpp (each platform's loop
// and one frame), sdl_drawing.cpp (scenes, quads, render targets).
#pragma once

#include <cstdint>

#include "engine/hge.h"
#include "engine/launch.h"
#include "engine/loop/frame_loop.h"
#include "engine/random_source.h"
#include "engine/sdl/options.h"
#include "engine/sdl/quad_batch.h"
#include "engine/sdl/sdl_audio.h"
#include "engine/sdl/sdl_display.h"
#include "engine/sdl/sdl_input.h"

class SdlEngine final : public HGE, public FrameLoop::Frames {
  public:
    // The one engine, or null when none is alive.
    static SdlEngine* Instance();
    // One more reference to the one engine, made on the first call.
    static HGE* Acquire();
    // The program's name and the player's window choice; before System_Initiate.
    void SetLaunch(const EngineLaunch& launch) { launch_ = launch; }

    SDL_Renderer* Renderer() const { return display_.Renderer(); }
    SDL_Window* Window() const { return display_.Window(); }
    QuadBatch& Batch() { return batch_; }
    const SdlAudio& Audio() const { return audio_; }
    bool SoundPaused() const { return soundPaused_; }
    const SdlInput& Input() const { return input_; }
    int PicturesShown() const { return picturesShown_; }
    std::uint64_t Now() const;

    // The loop and its clock, for whoever drives the frames some other way (a clock of its own).
    FrameLoop& Loop() { return loop_; }
    // The platform's loop over `frames` (this engine's own, or a wrapper's around them) until
    // they end it: paced on the desktop; in the browser, one step per animation frame, from
    // which this never returns. False when the engine is not initiated.
    bool RunLoop(FrameLoop::Frames& frames);
    // One frame: pump events, then the frame callback and the render callback; its picture drawn
    // and presented only when `shown`. Returns true when the loop should end (the frame callback
    // said so, the window was closed, or the engine is not initiated). While the window has lost
    // focus it runs no callback and returns false. The frame starts at `start` on the counter,
    // or when its callbacks start if 0.
    bool RunFrame(std::uint64_t start = 0, bool shown = true) override;
    bool Suspended() const override { return input_.Suspended(); }

    // ---- the engine interface ----
    void Release() override;
    bool System_Initiate() override;
    void System_Shutdown() override;
    bool System_Start() override { return RunLoop(*this); }
    void System_SetStateBool(hgeBoolState state, bool value) override;
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
    void System_SetStateInt(hgeIntState state, int value) override;
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    void* Resource_Load(const char* filename, std::uint32_t* size) override;
    void Resource_Free(void* res) override;
    HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool bMipmap) override;
    void Texture_Free(HTEXTURE tex) override { batch_.Free(tex); }
    int Texture_GetWidth(HTEXTURE tex, bool) override { return batch_.Width(tex); }
    int Texture_GetHeight(HTEXTURE tex, bool) override { return batch_.Height(tex); }
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
    int Random_Int(int min, int max) override { return random_.Int(min, max); }
    float Random_Float(float min, float max) override { return random_.Float(min, max); }
    float Timer_GetDelta() override { return loop_.Clock().Delta(); }
    void Input_GetMousePos(float* x, float* y) override { input_.MousePos(x, y); }
    bool Input_GetKeyState(int key) override { return input_.KeyState(key); }
    int Input_GetKey() override { return input_.Key(); }
    bool Gfx_BeginScene(HTARGET target) override;
    void Gfx_EndScene() override;
    void Gfx_Clear(std::uint32_t color) override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;
    void Gfx_RenderQuads(const hgeQuad* quads, int count) override;
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
    void TellWhyNotStarted() const;
    // Every platform's loop ends here. The browser's System_Start never returns to the game, so
    // there the end also does what the game does after it: shuts the engine down.
    void EndLoop();
    // Whether this frame's picture is drawn at all.
    bool Drawing() const { return initiated_ && (targetScene_ || shown_); }

    int refCount_ = 0;
    bool initiated_ = false;
    EngineLaunch launch_;

    bool windowed_ = false;
    bool useSound_ = true;
    int screenWidth_ = 800;
    int screenHeight_ = 600;
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;
    hgeCallback restoreFunc_ = nullptr;
    // Whether the frame running now shows its picture; frames run by hand always do.
    bool shown_ = true;
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
    FrameLoop loop_;
    RandomSource random_;
};
