// Small images share a few large textures ("pages") so that quads of different images can go to
// the renderer in one draw call. This file holds the pieces that know nothing of SDL: where an
// image goes on a page, how its border is padded, and how a quad's texture coordinates move
// into its place.
#pragma once

#include <cstdint>
#include <vector>

// Fills a square page shelf by shelf: an image goes on the lowest shelf tall enough with room
// left, otherwise on a new shelf above the others.
class ShelfPacker {
  public:
    explicit ShelfPacker(int size) : size_(size) {}
    // Reserves a w x h block; false when the page has no room for it.
    bool Place(int w, int h, int* x, int* y);
    int Size() const { return size_; }

  private:
    struct Shelf {
        int y;
        int height;
        int used;
    };
    int size_;
    int top_ = 0;
    std::vector<Shelf> shelves_;
};

// Copies a w x h image into the middle of a (w + 2 pad) x (h + 2 pad) block and repeats its
// outermost pixels into the border. Linear filtering at the image's edge then blends with copies
// of that edge, exactly as it would on a texture of its own, and never with a neighbour.
void CopyWithPadding(const std::uint32_t* src, int w, int h, int srcPitchPixels, std::uint32_t* dst,
                     int pad);

// Where an image's texture coordinates land on the texture that holds it.
struct TexturePlace {
    // On a page: clamped to the image, then scaled and offset into its place. An image with a
    // texture of its own keeps its coordinates as given.
    void Map(float u, float v, float* outU, float* outV) const {
        if (onPage) {
            u = u < 0.0f ? 0.0f : (u > 1.0f ? 1.0f : u);
            v = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
            u = u0 + u * du;
            v = v0 + v * dv;
        }
        *outU = u;
        *outV = v;
    }
    // The place of a w x h image at (x, y) on a square page of `pageSize`.
    static TexturePlace OnPage(int x, int y, int w, int h, int pageSize);
    static TexturePlace Own(int w, int h);

    bool onPage = false;
    float u0 = 0.0f;
    float v0 = 0.0f;
    float du = 1.0f;
    float dv = 1.0f;
    int width = 0;
    int height = 0;
};
