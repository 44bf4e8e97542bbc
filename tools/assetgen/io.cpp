// Image file output through stb_image_write.
#include <stb_image_write.h>

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

}  // namespace ag
