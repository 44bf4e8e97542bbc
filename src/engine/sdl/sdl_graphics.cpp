// Textures and the quad batch: quads gather in preallocated buffers and a run of quads on the
// same texture and blend goes to the renderer as one SDL_RenderGeometry call. With the atlas on,
// small images share a few page textures, so a run survives a change of image.
#include <SDL.h>
#include <SDL_image.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

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

bool SoftwareRenderer(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    return (info.flags & SDL_RENDERER_SOFTWARE) != 0 || SDL_strcasecmp(info.name, "software") == 0;
}

// Pages are created empty; the white block untextured quads sample sits first on page one.
SDL_Surface* WhiteImage() {
    SDL_Surface* white = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_ARGB8888);
    if (white != nullptr) {
        SDL_FillRect(white, nullptr, 0xFFFFFFFF);
    }
    return white;
}

}  // namespace

void SdlEngine::ChooseAtlas() {
    const char* wanted = SDL_getenv("ZS_ATLAS");
    if (wanted != nullptr && (wanted[0] == '0' || wanted[0] == '1')) {
        atlasOn_ = wanted[0] == '1';
    } else {
        atlasOn_ = !SoftwareRenderer(renderer_);
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    pageSize_ = kAtlasPageSize;
    if (info.max_texture_width > 0 && info.max_texture_width < pageSize_) {
        pageSize_ = info.max_texture_width;
    }
    if (info.max_texture_height > 0 && info.max_texture_height < pageSize_) {
        pageSize_ = info.max_texture_height;
    }
    pages_.reserve(kAtlasMaxPages);
}

bool SdlEngine::AllocateBatch() {
    ChooseAtlas();
    // A white texel times the vertex colour is the vertex colour. Drawing untextured quads
    // through it also keeps the software renderer honest: it ignores additive blending on
    // untextured triangles.
    SDL_Surface* white = WhiteImage();
    bool ok = white != nullptr;
    // On a page the texel is framed by white padding, so filtering around it stays white.
    const bool onPage = ok && atlasOn_ && PlaceOnPage(white, &white_);
    if (ok && !onPage) {
        whiteTexture_ = SDL_CreateTextureFromSurface(renderer_, white);
        white_ = SdlTexture{whiteTexture_, TexturePlace::Own(1, 1)};
        ok = whiteTexture_ != nullptr;
    }
    SDL_FreeSurface(white);
    if (!ok) {
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
    batchTexture_ = nullptr;
    const char* fd = SDL_getenv("ZS_FIRST_FRAME_FD");
    firstFrameFd_ = fd != nullptr && fd[0] != '\0' ? std::atoi(fd) : -1;
    return true;
}

bool SdlEngine::PlaceOnPage(SDL_Surface* image, SdlTexture* out) {
    const int w = image->w + 2 * kAtlasPadding;
    const int h = image->h + 2 * kAtlasPadding;
    if (w > pageSize_ || h > pageSize_) {
        return false;
    }
    int x = 0;
    int y = 0;
    AtlasPage* page = nullptr;
    for (AtlasPage& candidate : pages_) {
        if (candidate.packer.Place(w, h, &x, &y)) {
            page = &candidate;
            break;
        }
    }
    if (page == nullptr) {
        if (static_cast<int>(pages_.size()) == kAtlasMaxPages) {
            return false;
        }
        SDL_Texture* texture = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                                 SDL_TEXTUREACCESS_STATIC, pageSize_, pageSize_);
        if (texture == nullptr) {
            return false;
        }
        pages_.push_back(AtlasPage{texture, ShelfPacker(pageSize_)});
        page = &pages_.back();
        page->packer.Place(w, h, &x, &y);
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(image, SDL_PIXELFORMAT_ARGB8888, 0);
    if (argb == nullptr) {
        return false;
    }
    std::vector<std::uint32_t> block(static_cast<std::size_t>(w) * h);
    SDL_LockSurface(argb);
    CopyWithPadding(static_cast<const std::uint32_t*>(argb->pixels), image->w, image->h,
                    argb->pitch / 4, block.data(), kAtlasPadding);
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    const SDL_Rect rect{x, y, w, h};
    if (SDL_UpdateTexture(page->texture, &rect, block.data(), w * 4) != 0) {
        return false;
    }
    out->texture = page->texture;
    out->place =
        TexturePlace::OnPage(x + kAtlasPadding, y + kAtlasPadding, image->w, image->h, pageSize_);
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
    SDL_Surface* image = IMG_Load_RW(rw, 1);
    if (LoadFailed(image, filename, size, IMG_GetError())) {
        return 0;
    }
    SdlTexture loaded;
    if (!atlasOn_ || !PlaceOnPage(image, &loaded)) {
        loaded.texture = SDL_CreateTextureFromSurface(renderer_, image);
        loaded.place = TexturePlace::Own(image->w, image->h);
    }
    SDL_FreeSurface(image);
    if (LoadFailed(loaded.texture, filename, size, SDL_GetError())) {
        return 0;
    }
    return textures_.Add(new SdlTexture(loaded));
}

void SdlEngine::Texture_Free(HTEXTURE tex) {
    SdlTexture* texture = textures_.Get(tex);
    if (texture == nullptr) {
        return;
    }
    // An image on a page just leaves its place unused; the page lives on for the others.
    if (!texture->place.onPage) {
        if (batchTexture_ == texture->texture) {
            Flush();
        }
        SDL_DestroyTexture(texture->texture);
    }
    delete texture;
    textures_.Forget(tex);
}

void SdlEngine::FreeTextures() {
    textures_.FreeAll([](SdlTexture* texture) {
        if (!texture->place.onPage) {
            SDL_DestroyTexture(texture->texture);
        }
        delete texture;
    });
    for (AtlasPage& page : pages_) {
        SDL_DestroyTexture(page.texture);
    }
    pages_.clear();
    if (whiteTexture_ != nullptr) {
        SDL_DestroyTexture(whiteTexture_);
        whiteTexture_ = nullptr;
    }
    white_ = SdlTexture{};
    batchTexture_ = nullptr;
}

int SdlEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    const SdlTexture* texture = textures_.Get(tex);
    return texture != nullptr ? texture->place.width : 0;
}

int SdlEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    const SdlTexture* texture = textures_.Get(tex);
    return texture != nullptr ? texture->place.height : 0;
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
    if (!initiated_ || skipDrawing_) {
        return;
    }
    Flush();
    SDL_RenderPresent(renderer_);
    lastPresent_ = SDL_GetPerformanceCounter();
    if (firstFrameFd_ >= 0) {
        SignalFirstFrame();
    }
}

void SdlEngine::SignalFirstFrame() {
    const char presented = 'F';
    if (write(firstFrameFd_, &presented, 1) != 1) {
        System_Log("cannot report the first frame on descriptor %d", firstFrameFd_);
    }
    close(firstFrameFd_);
    firstFrameFd_ = -1;
    quit_ = true;
}

void SdlEngine::Gfx_Clear(std::uint32_t color) {
    if (!initiated_ || skipDrawing_) {
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
    if (!initiated_ || skipDrawing_ || quad == nullptr) {
        return;
    }
    const SdlTexture* texture = textures_.Get(quad->tex);
    if (texture == nullptr) {
        texture = &white_;
    }
    if (batchQuads_ > 0 && (texture->texture != batchTexture_ || quad->blend != batchBlend_)) {
        Flush();
    }
    if (batchQuads_ == kBatchQuads) {
        Flush();
    }
    batchTexture_ = texture->texture;
    batchBlend_ = quad->blend;
    SDL_Vertex* out = &vertices_[static_cast<std::size_t>(batchQuads_) * 4];
    // z is ignored: the game draws back to front.
    for (const hgeVertex& v : quad->v) {
        out->position = SDL_FPoint{v.x, v.y};
        out->color = ColorOf(v.col);
        texture->place.Map(v.tx, v.ty, &out->tex_coord.x, &out->tex_coord.y);
        ++out;
    }
    ++batchQuads_;
    ++quadsDrawn;
}

void SdlEngine::FlushBatch() {
    Flush();
}

void SdlEngine::Flush() {
    if (batchQuads_ == 0 || renderer_ == nullptr || batchTexture_ == nullptr) {
        batchQuads_ = 0;
        return;
    }
    SDL_SetTextureBlendMode(batchTexture_, BlendModeOf(batchBlend_));
    SDL_RenderGeometry(renderer_, batchTexture_, vertices_.data(), batchQuads_ * 4, indices_.data(),
                       batchQuads_ * 6);
    ++geometryCalls;
    batchQuads_ = 0;
}
