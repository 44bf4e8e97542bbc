#include "render2d/hgesprite.h"

#include <cmath>
#include <utility>

HGE* hgeSprite::hge = nullptr;

namespace {

// A texture's size as the texture coordinates divide by it; no texture counts as 1 by 1, so the
// coordinates of an untextured sprite are plain texel positions.
void TextureSize(HGE* hge, HTEXTURE texture, float& w, float& h) {
    if (texture == 0) {
        w = h = 1.0f;
        return;
    }
    w = static_cast<float>(hge->Texture_GetWidth(texture, false));
    h = static_cast<float>(hge->Texture_GetHeight(texture, false));
}

// Puts the quad's corners at v[0]..v[3], clockwise from the top left.
void PlaceCorners(hgeQuad& quad, float x0, float y0, float x1, float y1, float x2, float y2,
                  float x3, float y3) {
    const float xs[4] = {x0, x1, x2, x3};
    const float ys[4] = {y0, y1, y2, y3};
    for (int i = 0; i < 4; ++i) {
        quad.v[i].x = xs[i];
        quad.v[i].y = ys[i];
    }
}

void SwapTexCoords(hgeVertex& a, hgeVertex& b) {
    std::swap(a.tx, b.tx);
    std::swap(a.ty, b.ty);
}

}  // namespace

hgeSprite::hgeSprite(HTEXTURE texture, float x, float y, float w, float h)
    : quad{},
      texX(x),
      texY(y),
      width(w),
      height(h),
      hotX(0.0f),
      hotY(0.0f),
      flipX(false),
      flipY(false),
      flipHotSpot(false) {
    hge = hgeCreate(HGE_VERSION);
    TextureSize(hge, texture, texWidth, texHeight);
    quad.tex = texture;
    quad.blend = BLEND_DEFAULT;
    SetTexCoords(x, y, w, h);
    SetColor(0xFFFFFFFF);
    SetZ(0.5f);
}

hgeSprite::hgeSprite(const hgeSprite& other)
    : quad(other.quad),
      texX(other.texX),
      texY(other.texY),
      width(other.width),
      height(other.height),
      texWidth(other.texWidth),
      texHeight(other.texHeight),
      hotX(other.hotX),
      hotY(other.hotY),
      flipX(other.flipX),
      flipY(other.flipY),
      flipHotSpot(other.flipHotSpot) {
    hge = hgeCreate(HGE_VERSION);
}

hgeSprite::~hgeSprite() {
    hge->Release();
}

void hgeSprite::SetTexCoords(float x, float y, float w, float h) {
    const float uL = x / texWidth;
    const float vT = y / texHeight;
    const float uR = (x + w) / texWidth;
    const float vB = (y + h) / texHeight;
    // Clockwise from the top left, as the corners are drawn.
    const float u[4] = {uL, uR, uR, uL};
    const float v[4] = {vT, vT, vB, vB};
    for (int i = 0; i < 4; ++i) {
        quad.v[i].tx = u[i];
        quad.v[i].ty = v[i];
    }
}

void hgeSprite::Render(float x, float y) {
    const float left = x - hotX;
    const float top = y - hotY;
    const float right = x + width - hotX;
    const float bottom = y + height - hotY;
    Render4V(left, top, right, top, right, bottom, left, bottom);
}

void hgeSprite::Corners(float x, float y, float rot, float hscale, float vscale,
                        float (&xy)[4][2]) const {
    const float l = -(hscale * hotX);
    const float t = -(vscale * hotY);
    const float r = (width - hotX) * hscale;
    const float b = (height - hotY) * vscale;
    const float ox[4] = {l, r, r, l};
    const float oy[4] = {t, t, b, b};
    if (rot == 0.0f) {
        for (int i = 0; i < 4; ++i) {
            xy[i][0] = ox[i] + x;
            xy[i][1] = oy[i] + y;
        }
        return;
    }
    // Worked out in double and kept as floats; on a y-down screen a positive angle turns
    // clockwise.
    const auto c = static_cast<float>(std::cos(static_cast<double>(rot)));
    const auto s = static_cast<float>(std::sin(static_cast<double>(rot)));
    for (int i = 0; i < 4; ++i) {
        xy[i][0] = ox[i] * c - oy[i] * s + x;
        xy[i][1] = ox[i] * s + oy[i] * c + y;
    }
}

void hgeSprite::GetCornersEx(float x, float y, float rot, float hscale, float vscale,
                             float (&xy)[4][2]) const {
    Corners(x, y, rot, hscale, vscale == 0.0f ? hscale : vscale, xy);
}

void hgeSprite::RenderEx(float x, float y, float rot, float hscale, float vscale) {
    float xy[4][2];
    GetCornersEx(x, y, rot, hscale, vscale, xy);
    Render4V(xy[0][0], xy[0][1], xy[1][0], xy[1][1], xy[2][0], xy[2][1], xy[3][0], xy[3][1]);
}

void hgeSprite::RenderStretch(float x1, float y1, float x2, float y2) {
    Render4V(x1, y1, x2, y1, x2, y2, x1, y2);
}

void hgeSprite::Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                         float y3) {
    PlaceCorners(quad, x0, y0, x1, y1, x2, y2, x3, y3);
    Draw();
}

void hgeSprite::Gather(QuadRun& batch, float x0, float y0, float x1, float y1, float x2, float y2,
                       float x3, float y3) const {
    // The corners go into the run's copy only: placed in the sprite's quad just before it was
    // copied, they made the processor wait on its own stores.
    PlaceCorners(batch.Add(quad), x0, y0, x1, y1, x2, y2, x3, y3);
}

hgeRect* hgeSprite::GetBoundingBoxEx(float x, float y, float rot, float hscale, float vscale,
                                     hgeRect* rect) const {
    rect->Clear();
    float xy[4][2];
    Corners(x, y, rot, hscale, vscale, xy);
    for (const auto& corner : xy) {
        rect->Encapsulate(corner[0], corner[1]);
    }
    return rect;
}

void hgeSprite::SetTexture(HTEXTURE texture) {
    quad.tex = texture;
    float newWidth;
    float newHeight;
    TextureSize(hge, texture, newWidth, newHeight);
    if (newWidth == texWidth && newHeight == texHeight) {
        return;
    }
    // Keep the same texels (and so the flips) under the new size.
    float uL = quad.v[0].tx * texWidth;
    float vT = quad.v[0].ty * texHeight;
    float uR = quad.v[2].tx * texWidth;
    float vB = quad.v[2].ty * texHeight;
    texWidth = newWidth;
    texHeight = newHeight;
    uL /= texWidth;
    uR /= texWidth;
    vT /= texHeight;
    vB /= texHeight;
    quad.v[0].tx = quad.v[3].tx = uL;
    quad.v[1].tx = quad.v[2].tx = uR;
    quad.v[0].ty = quad.v[1].ty = vT;
    quad.v[2].ty = quad.v[3].ty = vB;
}

void hgeSprite::SetTextureRect(float x, float y, float w, float h, bool adjustSize) {
    texX = x;
    texY = y;
    if (adjustSize) {
        width = w;
        height = h;
    }
    SetTexCoords(x, y, w, h);
    // Re-apply the texture flips to the fresh coordinates; with the flags cleared first,
    // SetFlip leaves the hot spot where it is.
    const bool wasFlippedX = flipX;
    const bool wasFlippedY = flipY;
    flipX = flipY = false;
    SetFlip(wasFlippedX, wasFlippedY, flipHotSpot);
}

void hgeSprite::SetColor(std::uint32_t color, int i) {
    SetOnCorners(&hgeVertex::col, color, i);
}

void hgeSprite::SetZ(float z, int i) {
    SetOnCorners(&hgeVertex::z, z, i);
}

void hgeSprite::MirrorHotSpot() {
    if (flipX) {
        hotX = width - hotX;
    }
    if (flipY) {
        hotY = height - hotY;
    }
}

void hgeSprite::SetFlip(bool bX, bool bY, bool bHotSpot) {
    // The hot spot follows the flips the sprite already has, not the requested ones: undo the
    // old mirroring, then mirror again under the new hot-spot flag.
    if (flipHotSpot) {
        MirrorHotSpot();
    }
    flipHotSpot = bHotSpot;
    if (flipHotSpot) {
        MirrorHotSpot();
    }
    if (bX != flipX) {
        SwapTexCoords(quad.v[0], quad.v[1]);
        SwapTexCoords(quad.v[3], quad.v[2]);
        flipX = !flipX;
    }
    if (bY != flipY) {
        SwapTexCoords(quad.v[0], quad.v[3]);
        SwapTexCoords(quad.v[1], quad.v[2]);
        flipY = !flipY;
    }
}
