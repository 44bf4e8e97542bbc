// Image file output through stb_image_write.
#include <stb_image_write.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "raster.hpp"

namespace ag {

bool WritePng(const std::string& path, const Canvas& cv) {
    if (cv.Super() != 1)
        return WritePng(path, cv.Downsample());
    std::vector<unsigned char> px = cv.ToRgba8();
    return stbi_write_png(path.c_str(), cv.Width(), cv.Height(), 4, px.data(), cv.Width() * 4) != 0;
}

bool WriteJpeg(const std::string& path, const Canvas& cv, int quality) {
    if (cv.Super() != 1)
        return WriteJpeg(path, cv.Downsample(), quality);
    std::vector<unsigned char> rgba = cv.ToRgba8();
    std::vector<unsigned char> rgb(static_cast<size_t>(cv.Width()) * cv.Height() * 3);
    for (size_t i = 0; i < rgb.size() / 3; ++i)
        for (int c = 0; c < 3; ++c)
            rgb[i * 3 + c] = rgba[i * 4 + c];
    return stbi_write_jpg(path.c_str(), cv.Width(), cv.Height(), 3, rgb.data(), quality) != 0;
}

namespace {

void PutLe(std::vector<unsigned char>& out, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

// An icon file holding each image as PNG data, which Windows reads since Vista: a 6-byte header,
// one 16-byte entry per image (a width or height of 256 is written as 0), then the images.
bool WriteIco(const std::string& path, const std::vector<Canvas>& images) {
    std::vector<std::vector<unsigned char>> pngs;
    for (const Canvas& image : images) {
        const Canvas cv = image.Super() != 1 ? image.Downsample() : image;
        std::vector<unsigned char> px = cv.ToRgba8();
        std::vector<unsigned char> png;
        auto append = [](void* context, void* data, int size) {
            auto* bytes = static_cast<const unsigned char*>(data);
            static_cast<std::vector<unsigned char>*>(context)->insert(
                static_cast<std::vector<unsigned char>*>(context)->end(), bytes, bytes + size);
        };
        if (stbi_write_png_to_func(append, &png, cv.Width(), cv.Height(), 4, px.data(),
                                   cv.Width() * 4) == 0)
            return false;
        pngs.push_back(std::move(png));
    }
    std::vector<unsigned char> out;
    PutLe(out, 0, 2);  // reserved
    PutLe(out, 1, 2);  // an icon, not a cursor
    PutLe(out, static_cast<unsigned>(images.size()), 2);
    unsigned offset = static_cast<unsigned>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int w = images[i].Width() / images[i].Super();
        const int h = images[i].Height() / images[i].Super();
        out.push_back(static_cast<unsigned char>(w >= 256 ? 0 : w));
        out.push_back(static_cast<unsigned char>(h >= 256 ? 0 : h));
        PutLe(out, 0, 2);   // no palette, reserved
        PutLe(out, 1, 2);   // colour planes
        PutLe(out, 32, 2);  // bits per pixel
        PutLe(out, static_cast<unsigned>(pngs[i].size()), 4);
        PutLe(out, offset, 4);
        offset += static_cast<unsigned>(pngs[i].size());
    }
    for (const auto& png : pngs)
        out.insert(out.end(), png.begin(), png.end());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace ag
