// The engines a benchmark can run the game on, behind the one hgeCreate the game calls.
//
// The game asks hgeCreate for its engine and never learns which one it got, so the benchmark
// defines hgeCreate itself and hands out a BenchEngine that passes every call on to the engine
// the running benchmark chose: the null engine (the game's own cost, nothing drawn) or the SDL
// engine. BenchEngine also holds each frame to the same input: a fixed delta and mouse position,
// so that every engine computes the same frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/hge.h"

// Does nothing with what it is given, except count quads. Loading reads the real files, so the
// sprites and the font are cut exactly as in the game.
class NullEngine final : public HGE {
  public:
    long quads = 0;
    // When set, every quad the game draws is kept here too.
    std::vector<hgeQuad>* captured = nullptr;
    // The file a texture was loaded from, found where the SDL engine finds it; "" for none.
    const std::string& TexturePath(HTEXTURE tex) const;

    void Release() override { --refs_; }
    void Acquire() { ++refs_; }
    bool System_Initiate() override { return true; }
    void System_Shutdown() override {}
    bool System_Start() override { return true; }
    void System_SetStateBool(hgeBoolState, bool) override {}
    void System_SetStateFunc(hgeFuncState, hgeCallback) override {}
    void System_SetStateInt(hgeIntState, int) override {}
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    void* Resource_Load(const char* filename, std::uint32_t* size) override;
    void Resource_Free(void* res) override;
    HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool bMipmap) override;
    void Texture_Free(HTEXTURE) override {}
    int Texture_GetWidth(HTEXTURE tex, bool) override;
    int Texture_GetHeight(HTEXTURE tex, bool) override;
    HEFFECT Effect_Load(const char*, std::uint32_t) override { return ++sounds_; }
    HCHANNEL Effect_PlayEx(HEFFECT, int, int, float, bool) override { return 0; }
    HSTREAM Stream_Load(const char*, std::uint32_t) override { return ++sounds_; }
    HCHANNEL Stream_Play(HSTREAM, bool, int) override { return 0; }
    void Random_Seed(int seed) override { random_ = static_cast<std::uint32_t>(seed) | 1u; }
    int Random_Int(int min, int max) override;
    float Random_Float(float min, float max) override;
    float Timer_GetDelta() override { return 0.0f; }
    void Input_GetMousePos(float* x, float* y) override { *x = *y = 0.0f; }
    bool Input_GetKeyState(int) override { return false; }
    int Input_GetKey() override { return 0; }
    bool Gfx_BeginScene(HTARGET) override { return true; }
    void Gfx_EndScene() override {}
    void Gfx_Clear(std::uint32_t) override {}
    void Gfx_RenderQuad(const hgeQuad* quad) override;
    // The game's own cost is measured as it draws every mark itself.
    HTARGET Target_Create(int, int, bool) override { return 0; }
    void Target_Free(HTARGET) override {}
    HTEXTURE Target_GetTexture(HTARGET) override { return 0; }

  private:
    std::uint32_t NextRandom();

    int refs_ = 0;
    std::uint32_t sounds_ = 0;
    std::uint32_t random_ = 1;
    struct Size {
        int w;
        int h;
        std::string path;
    };
    std::vector<Size> textures_;
};

enum class EngineKind { kNull, kSdl };

class BenchEngine final : public HGE {
  public:
    // The delta and mouse position of every benchmarked frame.
    static constexpr float kFrameDelta = 1.0f / 60.0f;
    static constexpr float kMouseX = 600.0f;
    static constexpr float kMouseY = 200.0f;

    static BenchEngine& Get();
    // Chooses the engine the next hgeCreate hands calls to, and what System_Start does once the
    // game is set up: the benchmark's measuring loop.
    void Use(EngineKind kind, std::function<void()> measure);
    // One frame: frame callback, render callback (through the SDL engine's own frame with it).
    void RunFrame();
    // Quads the engine received since the last call.
    long TakeQuads();
    // Draw calls the engine sent since the last call (none on the null engine).
    long TakeDrawCalls();
    // Whether the game may have render targets; without them it draws every mark each frame.
    bool allowTargets = false;
    // Read one pixel back before presenting, so a GPU renderer has finished the frame. The
    // allocations the read-back itself makes are the benchmark's, not the game's: they are
    // counted apart.
    bool readBackEachFrame = false;
    std::uint32_t lastPixel = 0;
    std::uint64_t readBackAllocations = 0;

    HGE* Target() const { return target_; }
    NullEngine& Null() { return null_; }
    void AcquireTarget();

    void Release() override { target_->Release(); }
    bool System_Initiate() override { return target_->System_Initiate(); }
    void System_Shutdown() override { target_->System_Shutdown(); }
    bool System_Start() override;
    void System_SetStateBool(hgeBoolState state, bool value) override;
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
    void System_SetStateInt(hgeIntState state, int value) override;
    void System_Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    void* Resource_Load(const char* filename, std::uint32_t* size) override;
    void Resource_Free(void* res) override { target_->Resource_Free(res); }
    HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool bMipmap) override;
    void Texture_Free(HTEXTURE tex) override { target_->Texture_Free(tex); }
    int Texture_GetWidth(HTEXTURE tex, bool original) override;
    int Texture_GetHeight(HTEXTURE tex, bool original) override;
    HEFFECT Effect_Load(const char* filename, std::uint32_t size) override;
    HCHANNEL Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) override;
    HSTREAM Stream_Load(const char* filename, std::uint32_t size) override;
    HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume) override;
    void Random_Seed(int seed) override { target_->Random_Seed(seed); }
    int Random_Int(int min, int max) override { return target_->Random_Int(min, max); }
    float Random_Float(float min, float max) override;
    float Timer_GetDelta() override;
    void Input_GetMousePos(float* x, float* y) override;
    bool Input_GetKeyState(int key) override { return target_->Input_GetKeyState(key); }
    int Input_GetKey() override { return target_->Input_GetKey(); }
    bool Gfx_BeginScene(HTARGET target) override { return target_->Gfx_BeginScene(target); }
    void Gfx_EndScene() override;
    void Gfx_Clear(std::uint32_t color) override { target_->Gfx_Clear(color); }
    void Gfx_RenderQuad(const hgeQuad* quad) override { target_->Gfx_RenderQuad(quad); }
    HTARGET Target_Create(int width, int height, bool zbuffer) override {
        return allowTargets ? target_->Target_Create(width, height, zbuffer) : 0;
    }
    void Target_Free(HTARGET target) override { target_->Target_Free(target); }
    HTEXTURE Target_GetTexture(HTARGET target) override {
        return target_->Target_GetTexture(target);
    }

  private:
    BenchEngine() = default;

    EngineKind kind_ = EngineKind::kNull;
    HGE* target_ = nullptr;
    NullEngine null_;
    std::function<void()> measure_;
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;
};
