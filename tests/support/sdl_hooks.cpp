#include "support/sdl_hooks.h"

#include <SDL.h>

#include "engine/engine_choice.h"

namespace {

// The programs that link the hooks run the game on them.
[[maybe_unused]] const bool chosen = (ChooseEngine(SdlHooks::Acquire), true);

}  // namespace

SdlHooks& SdlHooks::Get() {
    static SdlHooks hooks;
    return hooks;
}

HGE* SdlHooks::Acquire() {
    SdlHooks& hooks = Get();
    hooks.SetInner(SdlEngine::Acquire());
    return &hooks;
}

void SdlHooks::SetFrameHook(FrameHook hook) {
    hook_ = hook;
    frame_ = 0;
}

bool SdlHooks::RunFrame(std::uint64_t start, bool shown) {
    shown_ = shown;
    if (hook_ != nullptr) {
        hook_(frame_++, Sdl());
    }
    return Sdl().RunFrame(start, shown);
}

bool SdlHooks::System_Start() {
    SdlEngine& sdl = Sdl();
    if (clock == Clock::kPaced) {
        return sdl.RunLoop(*this);
    }
    FrameLoop& loop = sdl.Loop();
    FrameClock& frames = loop.Clock();
    const std::uint64_t second = frames.TicksPerSecond();
    const bool browser = clock == Clock::kBrowserOnItsOwn;
    // Every step's last frame is shown: there is no display to wait for.
    const double period = frames.PresentPeriod();
    frames.SetPresentPeriod(0.0);
    loop.SetMostFramesPerStep(browser ? FrameLoop::kMostFramesPerStep : 1);
    loop.RunOnOwnClock(*this, sdl.Now(), browser ? second / 60 : second / 500);
    frames.SetPresentPeriod(period);
    loop.SetMostFramesPerStep(1);
    return true;
}

bool SdlHooks::Gfx_BeginScene(HTARGET target) {
    const bool begun = ForwardingEngine::Gfx_BeginScene(target);
    inTarget_ = begun && target != 0;
    targetScenes += inTarget_ ? 1 : 0;
    return begun;
}

void SdlHooks::Gfx_EndScene() {
    const bool picture = pictureHook_ != nullptr && shown_ && !inTarget_;
    inTarget_ = false;
    if (picture) {
        // The engine sends its last quads only as it presents; read back now, the picture would
        // lack them.
        Sdl().Batch().Flush();
        pictureHook_(Sdl(), false);
    }
    ForwardingEngine::Gfx_EndScene();
    if (picture) {
        pictureHook_(Sdl(), true);
    }
}

void SdlHooks::Gfx_RenderQuad(const hgeQuad* quad) {
    targetQuads += inTarget_ ? 1 : 0;
    ForwardingEngine::Gfx_RenderQuad(quad);
}

void SdlHooks::Gfx_RenderQuads(const hgeQuad* quads, int count) {
    targetQuads += inTarget_ ? count : 0;
    ForwardingEngine::Gfx_RenderQuads(quads, count);
}

HTARGET SdlHooks::Target_Create(int width, int height, bool zbuffer) {
    return refuseTargets ? 0 : ForwardingEngine::Target_Create(width, height, zbuffer);
}
