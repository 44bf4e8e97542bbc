// A rectangle cut from a texture, drawn as one textured, coloured quad.
#pragma once

#include <cstdint>

#include "engine/hge.h"
#include "render2d/hgerect.h"
#include "render2d/quad_run.h"

class hgeSprite {
  public:
    hgeSprite(HTEXTURE texture, float x, float y, float w, float h);
    hgeSprite(const hgeSprite& other);
    hgeSprite& operator=(const hgeSprite&) = delete;
    ~hgeSprite();

    void Render(float x, float y);
    void RenderEx(float x, float y, float rot, float hscale = 1.0f, float vscale = 0.0f);
    void RenderStretch(float x1, float y1, float x2, float y2);
    void Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);
    // The same quad, handed to the engine with the others in `batch` where a run gathers quads
    // (see QuadRun); the sprite's own quad then keeps its corners.
    void Render4V(QuadRun& batch, float x0, float y0, float x1, float y1, float x2, float y2,
                  float x3, float y3) {
        if constexpr (QuadRun::kGathers) {
            Gather(batch, x0, y0, x1, y1, x2, y2, x3, y3);
        } else {
            Render4V(x0, y0, x1, y1, x2, y2, x3, y3);
        }
    }
    // The corners v[0]..v[3] that RenderEx with the same arguments draws, bit for bit: a placement
    // that never moves works them out once and draws them with Render4V.
    void GetCornersEx(float x, float y, float rot, float hscale, float vscale,
                      float (&xy)[4][2]) const;
    hgeRect* GetBoundingBoxEx(float x, float y, float rot, float hscale, float vscale,
                              hgeRect* rect) const;

    void SetTexture(HTEXTURE texture);
    void SetTextureRect(float x, float y, float w, float h, bool adjustSize = true);
    // Corner i (0 to 3), or every corner with -1; any other index is ignored.
    void SetColor(std::uint32_t color, int i = -1);
    void SetZ(float z, int i = -1);
    void SetBlendMode(int blend) { quad.blend = blend; }
    void SetHotSpot(float x, float y) {
        hotX = x;
        hotY = y;
    }
    void SetFlip(bool bX, bool bY, bool bHotSpot = false);

    float GetWidth() const { return width; }
    float GetHeight() const { return height; }
    HTEXTURE GetTexture() const { return quad.tex; }
    const hgeQuad& GetQuad() const { return quad; }

    hgeQuad quad;
    float texX, texY;
    float width, height;
    float texWidth, texHeight;
    float hotX, hotY;
    bool flipX, flipY, flipHotSpot;

  private:
    // The four corners v[0]..v[3] about the hot spot, as drawn by RenderEx; vscale is taken as
    // given.
    void Corners(float x, float y, float rot, float hscale, float vscale, float (&xy)[4][2]) const;
    // Unflipped texture coordinates of the texel rectangle (x, y, w, h).
    void SetTexCoords(float x, float y, float w, float h);
    void Draw() { hge->Gfx_RenderQuad(&quad); }
    // The quad at these corners added to `batch`.
    void Gather(QuadRun& batch, float x0, float y0, float x1, float y1, float x2, float y2,
                float x3, float y3) const;
    // Sets `field` of corner i, of all four with -1, of none for any other index.
    template <typename T>
    void SetOnCorners(T hgeVertex::*field, T value, int i) {
        for (int corner = 0; corner < 4; ++corner) {
            if (i == -1 || i == corner) {
                quad.v[corner].*field = value;
            }
        }
    }
    // Mirrors the hot spot across each axis the texture is flipped on.
    void MirrorHotSpot();

    static HGE* hge;  // the engine interface shared by every sprite
};
