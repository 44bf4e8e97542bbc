// Scenes, quads and render targets: whether a frame draws at all, and the picture presented.
#include <SDL.h>

#include "engine/sdl/sdl_engine.h"

bool SdlEngine::Gfx_BeginScene(HTARGET target) {
    if (!initiated_) {
        return false;
    }
    if (target != 0 && !shown_) {
        return false;
    }
    batch_.Begin();
    targetScene_ = target != 0;
    if (!batch_.DrawInto(target)) {
        targetScene_ = false;
        return false;
    }
    return true;
}

void SdlEngine::Gfx_EndScene() {
    if (targetScene_) {
        batch_.DrawInto(0);
        targetScene_ = false;
        return;
    }
    if (!Drawing()) {
        return;
    }
    batch_.Flush();
    // The touch controls lie over the picture, in the bars beside it where there are bars.
    input_.DrawTouch();
    SDL_RenderPresent(display_.Renderer());
    ++picturesShown_;
    loop_.Clock().Presented(Now());
}

void SdlEngine::Gfx_Clear(std::uint32_t color) {
    if (Drawing()) {
        batch_.Clear(color);
    }
}

void SdlEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (Drawing() && quad != nullptr) {
        batch_.Add(*quad);
    }
}

void SdlEngine::Gfx_RenderQuads(const hgeQuad* quads, int count) {
    if (Drawing() && quads != nullptr) {
        for (int i = 0; i < count; ++i) {
            batch_.Add(quads[i]);
        }
    }
}

HTARGET SdlEngine::Target_Create(int width, int height, bool) {
    if (!initiated_) {
        return 0;
    }
    const HTARGET target = batch_.CreateTarget(width, height);
    if (target == 0) {
        System_Log("cannot create a render target: %s", SDL_GetError());
    }
    return target;
}

void SdlEngine::Target_Free(HTARGET target) {
    if (batch_.IsTarget(target)) {
        batch_.Free(target);
    }
}
