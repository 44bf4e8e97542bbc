// The SDL engine with the hooks that scripted runs and benchmarks drive the real game through: a
// wrapper around the one SdlEngine, which is what hgeCreate hands out in the programs that link
// it. The shipped engine carries none of this.
//   - a frame hook, called at the start of every frame before its events are pumped, with the
//     frame's number: scripted runs push their input from here and end the game when they like;
//   - the loop's clock: the real one, paced as shipped; or a clock of the loop's own that runs
//     each frame as soon as the one before has rendered, every picture shown; or the browser's
//     loop on a clock of its own, one 60 Hz animation frame per step;
//   - a picture hook, called just before the screen's picture is presented (drawn in full, so
//     it can be read back) and just after: what a player sees, and when;
//   - no render targets, as on a renderer without them, and counts of the scenes begun into
//     targets and the quads drawn into them.
#pragma once

#include "engine/forwarding_engine.h"
#include "engine/loop/frame_loop.h"
#include "engine/sdl/sdl_engine.h"

class SdlHooks final : public ForwardingEngine, public FrameLoop::Frames {
  public:
    enum class Clock { kPaced, kAsFastAsFrames, kBrowserOnItsOwn };
    using FrameHook = void (*)(int frame, SdlEngine& engine);
    using PictureHook = void (*)(SdlEngine& engine, bool presented);

    static SdlHooks& Get();
    // One more reference to the SDL engine, with the hooks around it: the engine source.
    static HGE* Acquire();
    SdlEngine& Sdl() { return *SdlEngine::Instance(); }

    void SetFrameHook(FrameHook hook);
    void SetPictureHook(PictureHook hook) { pictureHook_ = hook; }
    // Whether the frame running now presents its picture (the frame hook may ask).
    bool FrameShown() const { return shown_; }
    Clock clock = Clock::kPaced;
    bool refuseTargets = false;
    int targetScenes = 0;
    int targetQuads = 0;

    bool RunFrame(std::uint64_t start, bool shown) override;
    bool Suspended() const override { return SdlEngine::Instance()->Suspended(); }

    bool System_Start() override;
    bool Gfx_BeginScene(HTARGET target) override;
    void Gfx_EndScene() override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;
    void Gfx_RenderQuads(const hgeQuad* quads, int count) override;
    HTARGET Target_Create(int width, int height, bool zbuffer) override;

  private:
    SdlHooks() = default;

    FrameHook hook_ = nullptr;
    PictureHook pictureHook_ = nullptr;
    int frame_ = 0;
    // Whether the frame running now presents its picture; frames run by hand always do.
    bool shown_ = true;
    bool inTarget_ = false;
};
