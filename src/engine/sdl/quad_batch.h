// The picture's textures and the quad batch. Quads gather in vertex and index buffers sized once
// at start-up, and a run of quads with the same texture and blend goes to the renderer as one
// SDL_RenderGeometry call. A run ends on a change of texture or blend, a full buffer, a clear and
// the end of the scene. With the atlas on, small images share a few page textures, so a run
// survives a change of image. Untextured quads sample a white texel, so they take the same path.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/hge.h"
#include "engine/sdl/handle_table.h"
#include "engine/sdl/texture_atlas.h"

struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Vertex;
struct SDL_Surface;
struct SDL_RWops;

// A loaded image: the texture that holds it and where on that texture it is. A render target is
// one too, whose texture scenes also draw into.
struct SdlTexture {
    SDL_Texture* texture = nullptr;
    TexturePlace place;
    bool target = false;
};

class QuadBatch {
  public:
    // Quads one batch holds; a run longer than this goes out in several draw calls.
    static constexpr int kQuads = 4096;
    // The atlas: square pages of this side, each image framed by this many repeated edge pixels.
    // An image too large for a page keeps a texture of its own.
    static constexpr int kAtlasPageSize = 1024;
    static constexpr int kAtlasPadding = 2;
    static constexpr int kAtlasMaxPages = 4;

    // Sizes the buffers, chooses whether images share pages (`atlas` unset: on accelerated
    // renderers only) and makes the white texel. False after a log line when the renderer cannot.
    bool Open(SDL_Renderer* renderer, std::optional<bool> atlas);
    // Frees every texture and page.
    void Close();

    // Takes the source over; 0, with SDL_GetError saying why, when it gives no texture.
    HTEXTURE Load(SDL_RWops* source);
    void Free(HTEXTURE tex);
    int Width(HTEXTURE tex) const;
    int Height(HTEXTURE tex) const;

    // A new scene drops whatever an unfinished one left.
    void Begin() { quads_ = 0; }
    // Sends the waiting run, then fills the picture; the letterbox bars stay black.
    void Clear(std::uint32_t argb);
    void Add(const hgeQuad& quad);
    // Sends the waiting run, if any.
    void Flush();

    // Render targets, named by the handle of the texture that shows them: w x h in the picture's
    // units, in pixels as many as the screen's scale gives the picture, sampled nearest (they
    // are shown pixel for pixel) and drawn opaque. 0, with SDL_GetError saying why, when the
    // renderer has none.
    HTEXTURE CreateTarget(int w, int h);
    bool IsTarget(HTEXTURE tex) const;
    // Sends the waiting run, then sends later quads into `target`, drawn at the screen's scale,
    // or onto the screen with 0. False, drawing onto the screen, when it cannot.
    bool DrawInto(HTEXTURE target);
    // Called with the screen as the renderer's target: makes anew every target whose pixels no
    // longer match the screen's scale, or every one when `lost`. True when any target's picture
    // was lost, now or by `lost`.
    bool RefitTargets(bool lost);

    bool AtlasOn() const { return atlasOn_; }
    int AtlasPages() const { return static_cast<int>(pages_.size()); }
    // SDL_RenderGeometry calls and quads drawn since the last ResetCounters.
    int geometryCalls = 0;
    int quadsDrawn = 0;
    void ResetCounters();

  private:
    bool MakeWhite();
    // A target's picture is shown pixel for pixel: the corners of an upright quad showing it,
    // and their texture coordinates, are put on the pixels of the picture it is drawn on and of
    // the target.
    void ShowPixelForPixel(const SdlTexture& target, SDL_Vertex* v) const;
    // (Re)creates a target's texture at the screen's current scale.
    bool MakeTargetTexture(SdlTexture* target);
    // Puts the image on a page (making one if there is room for another); false when it fits on
    // none, and then it needs a texture of its own.
    bool PlaceOnPage(SDL_Surface* image, SdlTexture* out);

    SDL_Renderer* renderer_ = nullptr;
    HandleTable<SdlTexture> textures_;
    // Stands in for "no texture": a white texel of its own, or a white block on the first page.
    SDL_Texture* whiteTexture_ = nullptr;
    SdlTexture white_{};
    struct AtlasPage {
        SDL_Texture* texture;
        ShelfPacker packer;
    };
    std::vector<AtlasPage> pages_;
    bool atlasOn_ = false;
    int pageSize_ = kAtlasPageSize;

    std::vector<HTEXTURE> targets_;
    HTEXTURE drawingInto_ = 0;
    // The screen's scale, which every target's pixels follow.
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;

    std::vector<SDL_Vertex> vertices_;
    std::vector<int> indices_;
    int quads_ = 0;
    SDL_Texture* texture_ = nullptr;
    int blend_ = BLEND_DEFAULT;
    bool opaque_ = false;  // the run shows a render target's picture
};
