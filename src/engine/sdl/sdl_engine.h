// The engine the game runs on: SDL2 for the window, the picture and input, SDL2_image for
// textures and SDL2_mixer for sound. hgeCreate hands out the one SdlEngine.
//
// Besides the engine interface it offers a few members for the headless tests: the renderer to
// read pixels back from, counters of the draw calls it sent, and RunFrame to play exactly one
// frame (event pump, frame callback, render callback).
//
// Environment: ZS_WINDOWED=1 forces an 800x600 window instead of desktop fullscreen (handy for
// screenshots); SDL_VIDEODRIVER, SDL_RENDER_DRIVER and SDL_AUDIODRIVER are honoured as SDL reads
// them. ZS_ATLAS=1 or 0 turns the texture atlas on or off whatever the renderer (see AtlasOn).
// ZS_FIRST_FRAME_FD=n writes one byte to file descriptor n once the first frame is presented and
// then ends the loop: the start-up benchmark times the real program with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "handle_table.h"
#include "hge.h"
#include "random_source.h"
#include "texture_atlas.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Vertex;
struct SDL_RWops;
struct Mix_Chunk;
struct _Mix_Music;
union SDL_Event;
struct SDL_Surface;

// A loaded image: the texture that holds it and where on that texture it is.
struct SdlTexture {
    SDL_Texture* texture = nullptr;
    TexturePlace place;
};

class SdlEngine final : public HGE {
  public:
    // Quads one batch holds; a run longer than this goes out in several draw calls.
    static constexpr int kBatchQuads = 4096;
    // Mixing channels: enough that rapid fire from both weapons never cuts a shot short.
    static constexpr int kMixChannels = 64;
    // The atlas: square pages of this side, each image framed by this many repeated edge pixels.
    // An image too large for a page keeps a texture of its own.
    static constexpr int kAtlasPageSize = 1024;
    static constexpr int kAtlasPadding = 2;
    static constexpr int kAtlasMaxPages = 4;

    // The engine hgeCreate handed out, or null when none is alive.
    static SdlEngine* Instance();
    // What hgeCreate does: the one engine, with one more reference. hgeCreate lives in a file of
    // its own, so a program that defines its own (the benchmark, which switches engines) still
    // reaches this one.
    static HGE* Acquire();

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
    // Called at the start of every RunFrame, before events are pumped, with the number of the
    // frame (from 0): scripted runs push their input from here and end the game when they like.
    using FrameHook = void (*)(int frame, SdlEngine& engine);
    void SetFrameHook(FrameHook hook);
    // A scripted run wants its frames as fast as they render, not held to the display's pace.
    bool limitFrameRate = true;
    bool IsFullscreen() const;
    // Whether images are packed onto shared pages. By default they are on accelerated renderers,
    // where every draw call costs; the software renderer rasterises triangle by triangle however
    // the quads are batched, so there each image keeps its own texture.
    bool AtlasOn() const { return atlasOn_; }
    // Pages made so far.
    int AtlasPages() const { return static_cast<int>(pages_.size()); }
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
    void SkipDrawingUnlessDue();
    // The file (or, with a size, the memory) a loader reads; logs and returns null when missing.
    SDL_RWops* OpenSource(const char* filename, std::uint32_t size);
    // True, after one log line naming the file, when a loader gave back nothing.
    bool LoadFailed(const void* loaded, const char* filename, std::uint32_t size, const char* why);

    // graphics (sdl_graphics.cpp)
    bool AllocateBatch();
    void Flush();
    void ChooseAtlas();
    // Puts the image on a page (making one if there is room for another); false when it fits on
    // none, and then it needs a texture of its own.
    bool PlaceOnPage(SDL_Surface* image, SdlTexture* out);
    void FreeTextures();
    void SignalFirstFrame();

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
    FrameHook frameHook_ = nullptr;
    int hookFrame_ = 0;

    // video
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    bool vsync_ = false;
    // Frames run faster than the display refreshes; those in between present nothing.
    bool skipDrawing_ = false;
    std::uint64_t lastPresent_ = 0;
    double presentPeriod_ = 1.0 / 60.0;
    bool fullscreen_ = false;
    bool suspended_ = false;
    bool quit_ = false;

    HandleTable<SdlTexture> textures_;
    // Stands in for "no texture", so untextured quads take the same path as textured ones: a
    // white texel of its own, or a white block on the first atlas page.
    SDL_Texture* whiteTexture_ = nullptr;
    SdlTexture white_{};
    struct AtlasPage {
        SDL_Texture* texture;
        ShelfPacker packer;
    };
    std::vector<AtlasPage> pages_;
    bool atlasOn_ = false;
    int pageSize_ = kAtlasPageSize;
    int firstFrameFd_ = -1;

    // the batch: preallocated, sized once
    std::vector<SDL_Vertex> vertices_;
    std::vector<int> indices_;
    int batchQuads_ = 0;
    SDL_Texture* batchTexture_ = nullptr;
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
