// The scripted engine: an engine that records every call the game makes and plays back a script
// of frames, so a test can run the real start-up, frame and render callbacks frame by frame and
// assert what a player would see and hear.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/hge.h"

namespace test {

// One frame of input as the player gives it.
struct Frame {
    float delta = 1.0f / 60.0f;
    float mouseX = 400.0f;
    float mouseY = 300.0f;
    std::vector<int> held;  // keys and buttons held (HGEK_*)
    int pressed = 0;        // key pressed this frame (Input_GetKey)
    // Results for Random_Int / Random_Float calls of this frame, used in order before the
    // engine's own generator takes over.
    std::deque<int> ints;
    std::deque<float> floats;
};

// Something the game did that a player sees or hears, in call order.
struct Event {
    enum Kind { BeginScene, EndScene, Clear, Quad, Effect, Stream, Log };
    explicit Event(Kind k) : kind(k) {}
    Kind kind;
    HTARGET target = 0;     // the scene's render target; 0: the screen
    hgeQuad quad{};         // Quad
    std::uint32_t color{};  // Clear
    int volume{};
    int pan{};
    float pitch{};
    bool loop{};
    std::string text;  // Log; Effect/Stream: the file the handle was loaded from
};

class ScriptedEngine final : public HGE {
  public:
    // Each new one is what hgeCreate hands out from then on (the newest one).
    ScriptedEngine();
    // One more reference to the newest ScriptedEngine: the tests' engine source.
    static HGE* Acquire();
    ~ScriptedEngine() override;
    ScriptedEngine(const ScriptedEngine&) = delete;
    ScriptedEngine& operator=(const ScriptedEngine&) = delete;

    // ---- configuration ----
    bool initiateResult = true;
    bool record = true;  // false: only counters move (no allocation while playing)
    std::map<std::string, std::vector<char>> files;  // Resource_Load contents by path
    std::set<std::string> missing;                   // loads of these paths fail (handle 0)
    std::map<std::string, std::pair<int, int>> textureSizes;  // default 64 x 64
    std::deque<Frame> script;                                 // frames System_Start plays
    bool targets = false;  // whether Target_Create gives render targets

    // ---- playback ----
    // Plays one frame: input from `frame`, then the frame callback and the render callback.
    // Returns what the frame callback returned.
    bool Step(const Frame& frame);
    // Plays `count` copies of `frame`; stops early and returns true when the frame callback
    // ends the loop.
    bool StepN(const Frame& frame, int count);

    // ---- what was recorded ----
    std::vector<std::string> calls;  // every interface call by name, in order ("Texture_Load
                                     // gfx/dirt.jpg", "System_Initiate", ...)
    std::vector<Event> events;       // what was drawn, cleared, played and logged
    int refCount = 0;
    int framesRun = 0;
    int quadCount = 0;       // quads since the last ClearRecords, counted even when not recording
    std::vector<int> seeds;  // Random_Seed arguments
    bool initiated = false;
    hgeCallback frameFunc = nullptr;
    hgeCallback renderFunc = nullptr;
    hgeCallback restoreFunc = nullptr;

    void ClearRecords();
    std::vector<hgeQuad> Quads() const;
    std::vector<std::string> Logs() const;
    // The file a texture, effect or stream handle was loaded from ("" for 0 or unknown).
    std::string TexturePath(HTEXTURE tex) const;
    // Every (min, max) pair asked of Random_Int, in order, when recording.
    std::vector<std::pair<int, int>> intRanges;

    // ---- the engine interface ----
    void Release() override;
    bool System_Initiate() override;
    void System_Shutdown() override;
    bool System_Start() override;
    void System_SetStateBool(hgeBoolState state, bool value) override;
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
    void System_SetStateInt(hgeIntState state, int value) override;
    void System_Log(const char* format, ...) override;
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
    void Gfx_RenderQuads(const hgeQuad* quads, int count) override;
    HTARGET Target_Create(int width, int height, bool zbuffer) override;
    void Target_Free(HTARGET) override {}
    HTEXTURE Target_GetTexture(HTARGET target) override { return target; }

    static ScriptedEngine* Current();

  private:
    void Call(const char* name, const char* arg = nullptr);
    void Push(const Event& e);
    bool Fails(const char* filename) const;
    std::uint32_t NextRandom();

    struct Texture {
        std::string path;
        int width, height;
    };
    std::vector<Texture> textures_;
    std::vector<std::string> effects_;
    std::vector<std::string> streams_;
    Frame current_;
    HTARGET scene_ = 0;
    std::uint64_t rng_ = 0x9E3779B97F4A7C15ull;
};

}  // namespace test
