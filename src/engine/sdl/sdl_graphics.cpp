// Textures and the quad batch: quads gather in preallocated buffers and a run of quads with the
// same texture and blend goes to the renderer as one SDL_RenderGeometry call.
#include <SDL.h>
#include <SDL_image.h>

#include "sdl_engine.h"

namespace {

SDL_Color ColorOf(std::uint32_t argb) {
    return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                     static_cast<Uint8>(argb), static_cast<Uint8>(argb >> 24)};
}

// Blend bit 2 blends by alpha; without it the quad adds its alpha-weighted colour.
SDL_BlendMode BlendModeOf(int blend) {
    return (blend & BLEND_ALPHABLEND) != 0 ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_ADD;
}

}  // namespace

bool SdlEngine::AllocateBatch() {
    // A white texel times the vertex colour is the vertex colour. Drawing untextured quads
    // through it also keeps the software renderer honest: it ignores additive blending on
    // untextured triangles.
    whiteTexture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
    const Uint32 white = 0xFFFFFFFF;
    if (whiteTexture_ == nullptr || SDL_UpdateTexture(whiteTexture_, nullptr, &white, 4) != 0) {
        System_Log("cannot create textures: %s", SDL_GetError());
        return false;
    }
    vertices_.resize(static_cast<std::size_t>(kBatchQuads) * 4);
    indices_.resize(static_cast<std::size_t>(kBatchQuads) * 6);
    // Every quad is the two triangles 0-1-2 and 0-2-3 of its corners.
    for (int q = 0; q < kBatchQuads; ++q) {
        int* idx = &indices_[static_cast<std::size_t>(q) * 6];
        const int v = q * 4;
        idx[0] = v;
        idx[1] = v + 1;
        idx[2] = v + 2;
        idx[3] = v;
        idx[4] = v + 2;
        idx[5] = v + 3;
    }
    batchQuads_ = 0;
    return true;
}

HTEXTURE SdlEngine::Texture_Load(const char* filename, std::uint32_t size, bool) {
    if (renderer_ == nullptr) {
        System_Log("cannot load %s: the engine is not initiated", filename);
        return 0;
    }
    SDL_RWops* rw = OpenSource(filename, size);
    if (rw == nullptr) {
        return 0;
    }
    SDL_Texture* texture = IMG_LoadTexture_RW(renderer_, rw, 1);
    return LoadFailed(texture, filename, size, IMG_GetError()) ? 0 : textures_.Add(texture);
}

void SdlEngine::Texture_Free(HTEXTURE tex) {
    SDL_Texture* texture = textures_.Get(tex);
    if (texture == nullptr) {
        return;
    }
    if (batchTex_ == tex) {
        Flush();
    }
    SDL_DestroyTexture(texture);
    textures_.Forget(tex);
}

int SdlEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    int w = 0;
    SDL_Texture* texture = textures_.Get(tex);
    if (texture != nullptr) {
        SDL_QueryTexture(texture, nullptr, nullptr, &w, nullptr);
    }
    return w;
}

int SdlEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    int h = 0;
    SDL_Texture* texture = textures_.Get(tex);
    if (texture != nullptr) {
        SDL_QueryTexture(texture, nullptr, nullptr, nullptr, &h);
    }
    return h;
}

bool SdlEngine::Gfx_BeginScene(HTARGET target) {
    // The game only ever draws to the screen.
    if (!initiated_ || target != 0) {
        return false;
    }
    batchQuads_ = 0;
    return true;
}

void SdlEngine::Gfx_EndScene() {
    if (!initiated_) {
        return;
    }
    Flush();
    SDL_RenderPresent(renderer_);
}

void SdlEngine::Gfx_Clear(std::uint32_t color) {
    if (!initiated_) {
        return;
    }
    Flush();
    // The letterbox bars stay black; only the game's 800x600 picture takes the colour.
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    // The screen is opaque whatever alpha the clear colour carries.
    const SDL_Color c = ColorOf(color);
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    SDL_RenderFillRect(renderer_, nullptr);
}

void SdlEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (!initiated_ || quad == nullptr) {
        return;
    }
    if (batchQuads_ > 0 && (quad->tex != batchTex_ || quad->blend != batchBlend_)) {
        Flush();
    }
    if (batchQuads_ == kBatchQuads) {
        Flush();
    }
    batchTex_ = quad->tex;
    batchBlend_ = quad->blend;
    SDL_Vertex* out = &vertices_[static_cast<std::size_t>(batchQuads_) * 4];
    // z is ignored: the game draws back to front.
    for (const hgeVertex& v : quad->v) {
        out->position = SDL_FPoint{v.x, v.y};
        out->color = ColorOf(v.col);
        out->tex_coord = SDL_FPoint{v.tx, v.ty};
        ++out;
    }
    ++batchQuads_;
    ++quadsDrawn;
}

void SdlEngine::FlushBatch() {
    Flush();
}

void SdlEngine::Flush() {
    if (batchQuads_ == 0 || renderer_ == nullptr) {
        return;
    }
    SDL_Texture* texture = textures_.Get(batchTex_);
    if (texture == nullptr) {
        texture = whiteTexture_;
    }
    SDL_SetTextureBlendMode(texture, BlendModeOf(batchBlend_));
    SDL_RenderGeometry(renderer_, texture, vertices_.data(), batchQuads_ * 4, indices_.data(),
                       batchQuads_ * 6);
    ++geometryCalls;
    batchQuads_ = 0;
}
