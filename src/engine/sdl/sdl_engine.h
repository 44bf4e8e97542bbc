// The engine the game runs on: SDL2 for the window, the picture and input, SDL2_image for
// textures and SDL2_mixer for sound. hgeCreate hands out the one SdlEngine.
//
// Besides the engine interface it offers a few members for the headless tests: the renderer to
// read pixels back from, counters of the draw calls it sent, and RunFrame to play exactly one
// frame (event pump, frame callback, render callback).
//
// Environment: ZS_WINDOWED=1 forces an 800x600 window instead of desktop fullscreen (handy for
// screenshots); SDL_VIDEODRIVER, SDL_RENDER_DRIVER and SDL_AUDIODRIVER are honoured as SDL reads
// them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "handle_table.h"
#include "hge.h"
#include "random_source.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Vertex;
struct SDL_RWops;
struct Mix_Chunk;
struct _Mix_Music;
union SDL_Event;

class SdlEngine final : public HGE {
  public:
    // Quads one batch holds; a run longer than this goes out in several draw calls.
    static constexpr int kBatchQuads = 4096;
    // Mixing channels: enough that rapid fire from both weapons never cuts a shot short.
    static constexpr int kMixChannels = 64;

    // The engine hgeCreate handed out, or null when none is alive.
    static SdlEngine* Instance();

    // ---- for tests ----
    SDL_Renderer* Renderer() const { return renderer_; }
    SDL_Window* Window() const { return window_; }
    // SDL_RenderGeometry calls and quads drawn since the last ResetCounters.
    int geometryCalls = 0;
    int quadsDrawn = 0;
    void ResetCounters();
    // One frame: pump events, then the frame callback and the render callback. Returns true when
    // the loop should end (the frame callback said so, the window was closed, or the engine is
    // not initiated). While the window has lost focus it runs no callback and returns false.
    bool RunFrame();
    // Sends the quads waiting in the batch, so the picture can be read back before presenting.
    void FlushBatch();
    bool IsFullscreen() const;
    bool IsSuspended() const { return suspended_; }
    bool SoundOpen() const { return audioOpen_; }

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
    void Texture_Free(HTEXTURE tex) override;
    int Texture_GetWidth(HTEXTURE tex, bool bOriginal) override;
    int Texture_GetHeight(HTEXTURE tex, bool bOriginal) override;
    HEFFECT Effect_Load(const char* filename, std::uint32_t size) override;
    HCHANNEL Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) override;
    HSTREAM Stream_Load(const char* filename, std::uint32_t size) override;
    HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume) override;
    void Random_Seed(int seed) override;
    int Random_Int(int min, int max) override;
    float Random_Float(float min, float max) override;
    float Timer_GetDelta() override;
    void Input_GetMousePos(float* x, float* y) override;
    bool Input_GetKeyState(int key) override;
    int Input_GetKey() override;
    bool Gfx_BeginScene(HTARGET target) override;
    void Gfx_EndScene() override;
    void Gfx_Clear(std::uint32_t color) override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;

  private:
    friend HGE* hgeCreate(int);
    SdlEngine();
    ~SdlEngine() override;
    SdlEngine(const SdlEngine&) = delete;
    SdlEngine& operator=(const SdlEngine&) = delete;

    // start-up pieces (sdl_engine.cpp)
    bool OpenVideo();
    bool OpenWindow();
    bool OpenRenderer();
    void OpenAudio();
    void CloseAll();
    void LimitFrameRate();
    // The file (or, with a size, the memory) a loader reads; logs and returns null when missing.
    SDL_RWops* OpenSource(const char* filename, std::uint32_t size);
    // True, after one log line naming the file, when a loader gave back nothing.
    bool LoadFailed(const void* loaded, const char* filename, std::uint32_t size, const char* why);

    // graphics (sdl_graphics.cpp)
    bool AllocateBatch();
    void Flush();

    // audio (sdl_audio.cpp)
    bool TryOpenMixer();
    void FreeSounds();

    // input and timer (sdl_input.cpp)
    void PumpEvents();
    void HandleEvent(const SDL_Event& e);
    void HandleKey(const SDL_Event& e, bool down);
    void HandleWindowEvent(const SDL_Event& e);
    void UpdateMouse();
    void UpdateTimer();
    void ToggleFullscreen();
    void UpdateGrab();
    void ReleaseAllKeys();

    int refCount_ = 0;
    bool initiated_ = false;

    // states
    bool windowed_ = false;
    bool useSound_ = true;
    int screenWidth_ = 800;
    int screenHeight_ = 600;
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;

    // video
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    bool vsync_ = false;
    bool fullscreen_ = false;
    bool suspended_ = false;
    bool quit_ = false;

    HandleTable<SDL_Texture> textures_;
    // Stands in for "no texture", so untextured quads take the same path as textured ones.
    SDL_Texture* whiteTexture_ = nullptr;

    // the batch: preallocated, sized once
    std::vector<SDL_Vertex> vertices_;
    std::vector<int> indices_;
    int batchQuads_ = 0;
    HTEXTURE batchTex_ = 0;
    int batchBlend_ = BLEND_DEFAULT;

    bool audioOpen_ = false;
    HandleTable<Mix_Chunk> effects_;
    HandleTable<_Mix_Music> streams_;

    // input
    static constexpr int kKeyCount = 256;
    bool keyDown_[kKeyCount] = {};
    bool keyTapped_[kKeyCount] = {};  // went down since the last frame
    int keyPressed_ = 0;
    bool enterHeldByToggle_ = false;
    float mouseX_ = 0.0f;
    float mouseY_ = 0.0f;
    bool mouseSeen_ = false;

    // timer
    std::uint64_t lastCounter_ = 0;
    bool timerStarted_ = false;
    float delta_ = 0.0f;

    RandomSource random_;
};
