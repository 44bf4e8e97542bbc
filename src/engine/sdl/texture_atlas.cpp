#include "engine/sdl/texture_atlas.h"

#include <cstring>

bool ShelfPacker::Place(int w, int h, int* x, int* y) {
    if (w <= 0 || h <= 0 || w > size_ || h > size_) {
        return false;
    }
    // The lowest shelf that takes it wastes the least height.
    Shelf* best = nullptr;
    for (Shelf& shelf : shelves_) {
        if (shelf.height >= h && size_ - shelf.used >= w &&
            (best == nullptr || shelf.height < best->height)) {
            best = &shelf;
        }
    }
    if (best == nullptr) {
        if (size_ - top_ < h) {
            return false;
        }
        shelves_.push_back(Shelf{top_, h, 0});
        top_ += h;
        best = &shelves_.back();
    }
    *x = best->used;
    *y = best->y;
    best->used += w;
    return true;
}

void CopyWithPadding(const std::uint32_t* src, int w, int h, int srcPitchPixels, std::uint32_t* dst,
                     int pad) {
    const int dstW = w + 2 * pad;
    for (int row = 0; row < h + 2 * pad; ++row) {
        // Rows above and below the image repeat its first and last row.
        int srcRow = row - pad;
        srcRow = srcRow < 0 ? 0 : (srcRow >= h ? h - 1 : srcRow);
        const std::uint32_t* in = src + static_cast<std::ptrdiff_t>(srcRow) * srcPitchPixels;
        std::uint32_t* out = dst + static_cast<std::ptrdiff_t>(row) * dstW;
        for (int i = 0; i < pad; ++i) {
            out[i] = in[0];
            out[pad + w + i] = in[w - 1];
        }
        std::memcpy(out + pad, in, static_cast<std::size_t>(w) * sizeof(std::uint32_t));
    }
}

TexturePlace TexturePlace::OnPage(int x, int y, int w, int h, int pageSize) {
    TexturePlace place;
    const float size = static_cast<float>(pageSize);
    place.onPage = true;
    place.u0 = static_cast<float>(x) / size;
    place.v0 = static_cast<float>(y) / size;
    place.du = static_cast<float>(w) / size;
    place.dv = static_cast<float>(h) / size;
    place.width = w;
    place.height = h;
    return place;
}

TexturePlace TexturePlace::Own(int w, int h) {
    TexturePlace place;
    place.width = w;
    place.height = h;
    return place;
}
