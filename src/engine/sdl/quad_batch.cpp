#include "engine/sdl/quad_batch.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>

#include "engine/engine_log.h"

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

// The largest page the renderer takes, up to the atlas's own size.
int PageSize(SDL_Renderer* renderer, int wanted) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    if (info.max_texture_width > 0 && info.max_texture_width < wanted) {
        wanted = info.max_texture_width;
    }
    if (info.max_texture_height > 0 && info.max_texture_height < wanted) {
        wanted = info.max_texture_height;
    }
    return wanted;
}

// One edge of an upright quad that shows a target, on a grid of `scale` pixels a unit: put a
// quarter pixel past the nearest pixel boundary when it starts the quad, 0.4 past it when it
// ends it. A pixel is then inside exactly when its boundary is, both for a rasteriser that
// tests pixel centres and for the software renderer, which truncates the rectangle's corner
// and size to whole pixels; with source and destination put on their grids alike, every
// pixel takes its own texel.
float OnPixelGrid(float at, float scale, bool start) {
    return (std::floor(at * scale + 0.5f) + (start ? 0.25f : 0.4f)) / scale;
}

}  // namespace

bool QuadBatch::Open(SDL_Renderer* renderer, std::optional<bool> atlas) {
    renderer_ = renderer;
    // The software renderer rasterises triangle by triangle however the quads are batched, so
    // there each image keeps its own texture unless asked otherwise.
    atlasOn_ = atlas.value_or(!SoftwareRenderer(renderer));
    pageSize_ = PageSize(renderer, kAtlasPageSize);
    pages_.reserve(kAtlasMaxPages);
    if (!MakeWhite()) {
        LogLine("cannot create textures: %s", SDL_GetError());
        return false;
    }
    vertices_.resize(static_cast<std::size_t>(kQuads) * 4);
    indices_.resize(static_cast<std::size_t>(kQuads) * 6);
    // Every quad is the two triangles 0-1-2 and 0-2-3 of its corners.
    for (int q = 0; q < kQuads; ++q) {
        int* idx = &indices_[static_cast<std::size_t>(q) * 6];
        const int v = q * 4;
        idx[0] = v;
        idx[1] = v + 1;
        idx[2] = v + 2;
        idx[3] = v;
        idx[4] = v + 2;
        idx[5] = v + 3;
    }
    quads_ = 0;
    texture_ = nullptr;
    IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG);
    return true;
}

// A white texel times the vertex colour is the vertex colour. Drawing untextured quads through it
// also keeps the software renderer honest: it ignores additive blending on untextured triangles.
bool QuadBatch::MakeWhite() {
    SDL_Surface* white = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_ARGB8888);
    if (white == nullptr) {
        return false;
    }
    SDL_FillRect(white, nullptr, 0xFFFFFFFF);
    // On a page the texel comes first, framed by white padding, so filtering around it stays
    // white.
    bool ok = atlasOn_ && PlaceOnPage(white, &white_);
    if (!ok) {
        whiteTexture_ = SDL_CreateTextureFromSurface(renderer_, white);
        white_ = SdlTexture{whiteTexture_, TexturePlace::Own(1, 1)};
        ok = whiteTexture_ != nullptr;
    }
    SDL_FreeSurface(white);
    return ok;
}

void QuadBatch::Close() {
    DrawInto(0);
    targets_.clear();
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
    texture_ = nullptr;
    quads_ = 0;
    renderer_ = nullptr;
    IMG_Quit();
}

bool QuadBatch::PlaceOnPage(SDL_Surface* image, SdlTexture* out) {
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

HTEXTURE QuadBatch::Load(SDL_RWops* source) {
    SDL_Surface* image = IMG_Load_RW(source, 1);
    if (image == nullptr) {
        return 0;
    }
    SdlTexture loaded;
    if (!atlasOn_ || !PlaceOnPage(image, &loaded)) {
        loaded.texture = SDL_CreateTextureFromSurface(renderer_, image);
        loaded.place = TexturePlace::Own(image->w, image->h);
    }
    SDL_FreeSurface(image);
    return loaded.texture != nullptr ? textures_.Add(new SdlTexture(loaded)) : 0;
}

void QuadBatch::Free(HTEXTURE tex) {
    SdlTexture* texture = textures_.Get(tex);
    if (texture == nullptr) {
        return;
    }
    if (texture->target) {
        if (drawingInto_ == tex) {
            DrawInto(0);
        }
        targets_.erase(std::find(targets_.begin(), targets_.end(), tex));
    }
    // An image on a page just leaves its place unused; the page lives on for the others.
    if (!texture->place.onPage) {
        if (texture_ == texture->texture) {
            Flush();
        }
        SDL_DestroyTexture(texture->texture);
    }
    delete texture;
    textures_.Forget(tex);
}

HTEXTURE QuadBatch::CreateTarget(int w, int h) {
    if (renderer_ == nullptr || w <= 0 || h <= 0 || SDL_RenderTargetSupported(renderer_) == 0) {
        return 0;
    }
    SDL_RenderGetScale(renderer_, &scaleX_, &scaleY_);
    SdlTexture made;
    made.place = TexturePlace::Own(w, h);
    made.target = true;
    if (!MakeTargetTexture(&made)) {
        return 0;
    }
    const HTEXTURE tex = textures_.Add(new SdlTexture(made));
    targets_.push_back(tex);
    return tex;
}

bool QuadBatch::MakeTargetTexture(SdlTexture* target) {
    if (target->texture != nullptr) {
        if (texture_ == target->texture) {
            Flush();
            texture_ = nullptr;
        }
        SDL_DestroyTexture(target->texture);
    }
    const int w = std::max(1, static_cast<int>(std::lround(target->place.width * scaleX_)));
    const int h = std::max(1, static_cast<int>(std::lround(target->place.height * scaleY_)));
    target->texture =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
    if (target->texture == nullptr) {
        return false;
    }
    SDL_SetTextureScaleMode(target->texture, SDL_ScaleModeNearest);
    return true;
}

bool QuadBatch::IsTarget(HTEXTURE tex) const {
    const SdlTexture* texture = textures_.Get(tex);
    return texture != nullptr && texture->target && texture->texture != nullptr;
}

bool QuadBatch::DrawInto(HTEXTURE target) {
    if (renderer_ == nullptr) {
        return false;
    }
    if (target == drawingInto_) {
        return true;
    }
    Flush();
    drawingInto_ = 0;
    if (target == 0 || !IsTarget(target) ||
        SDL_SetRenderTarget(renderer_, textures_.Get(target)->texture) != 0) {
        SDL_SetRenderTarget(renderer_, nullptr);
        return target == 0;
    }
    // A target has no logical size of its own: the screen's scale puts the picture's units on
    // the same pixels as on the screen.
    SDL_RenderSetScale(renderer_, scaleX_, scaleY_);
    drawingInto_ = target;
    return true;
}

bool QuadBatch::RefitTargets(bool lost) {
    if (targets_.empty()) {
        return false;
    }
    float sx = 1.0f;
    float sy = 1.0f;
    SDL_RenderGetScale(renderer_, &sx, &sy);
    if (sx != scaleX_ || sy != scaleY_) {
        scaleX_ = sx;
        scaleY_ = sy;
        lost = true;
    }
    if (lost) {
        for (const HTEXTURE tex : targets_) {
            MakeTargetTexture(textures_.Get(tex));
        }
    }
    return lost;
}

int QuadBatch::Width(HTEXTURE tex) const {
    const SdlTexture* texture = textures_.Get(tex);
    return texture != nullptr ? texture->place.width : 0;
}

int QuadBatch::Height(HTEXTURE tex) const {
    const SdlTexture* texture = textures_.Get(tex);
    return texture != nullptr ? texture->place.height : 0;
}

void QuadBatch::Clear(std::uint32_t argb) {
    Flush();
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    // Only the logical picture takes the colour, and it is opaque whatever alpha the colour
    // carries.
    const SDL_Color c = ColorOf(argb);
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
    SDL_RenderFillRect(renderer_, nullptr);
}

void QuadBatch::Add(const hgeQuad& quad) {
    const SdlTexture* texture = textures_.Get(quad.tex);
    if (texture == nullptr) {
        texture = &white_;
    }
    if (quads_ > 0 && (texture->texture != texture_ || quad.blend != blend_)) {
        Flush();
    }
    if (quads_ == kQuads) {
        Flush();
    }
    texture_ = texture->texture;
    blend_ = quad.blend;
    opaque_ = texture->target;
    SDL_Vertex* out = &vertices_[static_cast<std::size_t>(quads_) * 4];
    // z is ignored: the game draws back to front.
    for (const hgeVertex& v : quad.v) {
        out->position = SDL_FPoint{v.x, v.y};
        out->color = ColorOf(v.col);
        texture->place.Map(v.tx, v.ty, &out->tex_coord.x, &out->tex_coord.y);
        ++out;
    }
    if (texture->target) {
        ShowPixelForPixel(*texture, &vertices_[static_cast<std::size_t>(quads_) * 4]);
    }
    ++quads_;
    ++quadsDrawn;
}

void QuadBatch::ShowPixelForPixel(const SdlTexture& target, SDL_Vertex* v) const {
    const float texW = std::lround(static_cast<float>(target.place.width) * scaleX_);
    const float texH = std::lround(static_cast<float>(target.place.height) * scaleY_);
    const float left = std::min({v[0].position.x, v[1].position.x, v[2].position.x});
    const float top = std::min({v[0].position.y, v[1].position.y, v[2].position.y});
    const float u0 = std::min({v[0].tex_coord.x, v[1].tex_coord.x, v[2].tex_coord.x});
    const float v0 = std::min({v[0].tex_coord.y, v[1].tex_coord.y, v[2].tex_coord.y});
    for (int i = 0; i < 4; ++i) {
        SDL_Vertex& c = v[i];
        c.position.x = OnPixelGrid(c.position.x, scaleX_, c.position.x == left);
        c.position.y = OnPixelGrid(c.position.y, scaleY_, c.position.y == top);
        // The software renderer refuses texture coordinates past the texture's edge.
        c.tex_coord.x =
            std::min(OnPixelGrid(c.tex_coord.x * texW, 1.0f, c.tex_coord.x == u0), texW) / texW;
        c.tex_coord.y =
            std::min(OnPixelGrid(c.tex_coord.y * texH, 1.0f, c.tex_coord.y == v0), texH) / texH;
    }
}

void QuadBatch::Flush() {
    if (quads_ == 0 || renderer_ == nullptr || texture_ == nullptr) {
        quads_ = 0;
        return;
    }
    // A target's picture replaces what lies under it: blending it by its own alpha, which the
    // software renderer's blending wears down below opaque, would let the old pixels through.
    SDL_SetTextureBlendMode(texture_, opaque_ ? SDL_BLENDMODE_NONE : BlendModeOf(blend_));
    SDL_RenderGeometry(renderer_, texture_, vertices_.data(), quads_ * 4, indices_.data(),
                       quads_ * 6);
    ++geometryCalls;
    quads_ = 0;
}

void QuadBatch::ResetCounters() {
    geometryCalls = 0;
    quadsDrawn = 0;
}
