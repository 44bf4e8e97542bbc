// The engines a benchmark can run the game on, behind the one hgeCreate the game calls.
//
// The game asks hgeCreate for its engine and never learns which one it got, so the benchmark
// chooses a BenchEngine that passes every call on to the engine the running benchmark chose: the
// headless engine reading the game's real files (the game's own cost, nothing drawn) or the SDL
// engine. BenchEngine also holds each frame to the same input: a fixed delta and mouse position,
// so that every engine computes the same frame.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/forwarding_engine.h"

enum class EngineKind { kHeadless, kSdl };

class BenchEngine final : public ForwardingEngine {
  public:
    // The delta and mouse position of every benchmarked frame.
    static constexpr float kFrameDelta = 1.0f / 60.0f;
    static constexpr float kMouseX = 600.0f;
    static constexpr float kMouseY = 200.0f;

    static BenchEngine& Get();
    // One more reference to the chosen engine, behind the benchmark's: the engine source.
    static HGE* Acquire();
    // Chooses the engine the next hgeCreate hands calls to, and what System_Start does once the
    // game is set up: the benchmark's measuring loop.
    void Use(EngineKind kind, std::function<void()> measure);
    // One frame: frame callback, render callback (through the SDL engine's own frame with it).
    void RunFrame();
    // Quads the engine received since the last call.
    long TakeQuads();
    // Draw calls the engine sent since the last call (none on the headless engine).
    long TakeDrawCalls();
    // Whether the game may have render targets; without them it draws every mark each frame.
    bool allowTargets = false;
    // Read one pixel back before presenting, so a GPU renderer has finished the frame. The
    // allocations the read-back itself makes are the benchmark's, not the game's: they are
    // counted apart.
    bool readBackEachFrame = false;
    std::uint32_t lastPixel = 0;
    std::uint64_t readBackAllocations = 0;
    // When set, every quad the game draws is kept here too (the raw-SDL floor draws them again).
    std::vector<hgeQuad>* captured = nullptr;
    // The file a texture was loaded from, found where the SDL engine finds it; "" for none.
    const std::string& TexturePath(HTEXTURE tex) const;

    bool System_Start() override;
    void System_SetStateFunc(hgeFuncState state, hgeCallback value) override;
    float Timer_GetDelta() override;
    void Input_GetMousePos(float* x, float* y) override;
    void Gfx_EndScene() override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;
    void Gfx_RenderQuads(const hgeQuad* quads, int count) override;
    HTEXTURE Texture_Load(const char* filename, std::uint32_t size, bool mipmap) override;
    HTARGET Target_Create(int width, int height, bool zbuffer) override {
        return allowTargets ? ForwardingEngine::Target_Create(width, height, zbuffer) : 0;
    }

  private:
    BenchEngine() = default;

    EngineKind kind_ = EngineKind::kHeadless;
    std::function<void()> measure_;
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;
    std::vector<std::string> texturePaths_;  // by handle - 1
};
