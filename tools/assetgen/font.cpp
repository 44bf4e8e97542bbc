// The bitmap font: DejaVu Sans Bold rasterised with stb_truetype at 4x, light letters with a dark
// outline, packed into gfx/durvan.png and described in gfx/durvan.fnt ("[HGEFONT]" format).
//
// Every letter's rectangle is a full line cell (same height for all letters, glyph placed on a
// common baseline, outline included), so the font draws lines that align when each letter's
// top-left corner is put at the pen position.
#include <stb_truetype.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "assetgen.hpp"
#include "raster.hpp"

namespace ag {
namespace {

constexpr int kOver = 4;            // supersampling of the glyph rasters
constexpr float kEmPixels = 12.0f;  // size of the em square in output pixels
constexpr int kPad = 2;             // outline room around every glyph, in output pixels
constexpr float kOutline = 1.2f;    // outline radius in output pixels
constexpr int kTracking = 1;        // extra pixel between letters, so outlines do not crowd
constexpr int kTexWidth = 256;

struct Letter {
    int code;       // Windows-1254 byte
    int codepoint;  // Unicode
};

std::vector<Letter> LetterSet() {
    std::vector<Letter> set;
    for (int c = 0x20; c <= 0x7E; ++c)
        set.push_back({c, c});
    // Turkish letters of Windows-1254 that differ from Latin-1 or lie above 0x7F.
    const Letter turkish[] = {{0xC7, 0x00C7}, {0xE7, 0x00E7}, {0xD0, 0x011E}, {0xF0, 0x011F},
                              {0xDD, 0x0130}, {0xFD, 0x0131}, {0xD6, 0x00D6}, {0xF6, 0x00F6},
                              {0xDE, 0x015E}, {0xFE, 0x015F}, {0xDC, 0x00DC}, {0xFC, 0x00FC}};
    for (const Letter& l : turkish)
        set.push_back(l);
    return set;
}

struct Cell {
    int code = 0;
    int x = 0, y = 0, w = 0, h = 0, pre = 0, post = 0;
    std::vector<float> fill, line;  // coverage of letter and outline, w*h each
};

}  // namespace

bool WriteFont(const std::string& out, const std::string& ttfPath) {
    std::ifstream in(ttfPath, std::ios::binary);
    std::vector<unsigned char> ttf((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    stbtt_fontinfo info;
    if (ttf.empty() ||
        !stbtt_InitFont(&info, ttf.data(), stbtt_GetFontOffsetForIndex(ttf.data(), 0))) {
        std::fprintf(stderr, "assetgen: cannot read font %s\n", ttfPath.c_str());
        return false;
    }
    const float scale = stbtt_ScaleForMappingEmToPixels(&info, kEmPixels);
    const float scaleHi = scale * kOver;
    const std::vector<Letter> set = LetterSet();

    // Common line cell: tallest ascent and deepest descent over the letter set.
    int yMax = 0, yMin = 0;
    for (const Letter& l : set) {
        int x0, y0, x1, y1;
        if (stbtt_GetCodepointBox(&info, l.codepoint, &x0, &y0, &x1, &y1)) {
            yMax = std::max(yMax, y1);
            yMin = std::min(yMin, y0);
        }
    }
    const int ascent = static_cast<int>(std::ceil(static_cast<float>(yMax) * scale));
    const int descent = static_cast<int>(std::ceil(static_cast<float>(-yMin) * scale));
    const int cellH = kPad + ascent + descent + kPad;
    const int baseline = kPad + ascent;  // row of the baseline inside the cell

    std::vector<Cell> cells;
    for (const Letter& l : set) {
        Cell c;
        c.code = l.code;
        c.h = cellH;
        int adv, lsb;
        stbtt_GetCodepointHMetrics(&info, l.codepoint, &adv, &lsb);
        const int advance =
            static_cast<int>(std::lround(static_cast<float>(adv) * scale)) + kTracking;
        int x0, y0, x1, y1;
        if (l.codepoint == ' ' || !stbtt_GetCodepointBox(&info, l.codepoint, &x0, &y0, &x1, &y1)) {
            c.w = advance;
            c.pre = 0;
            c.post = 0;
            c.fill.assign(static_cast<size_t>(c.w) * c.h, 0.0f);
            c.line = c.fill;
            cells.push_back(std::move(c));
            continue;
        }
        const int left = static_cast<int>(std::floor(static_cast<float>(x0) * scale)) - kPad;
        const int right = static_cast<int>(std::ceil(static_cast<float>(x1) * scale)) + kPad;
        c.w = right - left;
        c.pre = left;
        c.post = advance - c.pre - c.w;

        // Glyph raster at 4x, placed with its origin at (-left, baseline) of the cell.
        const int hw = c.w * kOver, hh = c.h * kOver;
        std::vector<float> hi(static_cast<size_t>(hw) * hh, 0.0f);
        int bx0, by0, bx1, by1;
        stbtt_GetCodepointBitmapBox(&info, l.codepoint, scaleHi, scaleHi, &bx0, &by0, &bx1, &by1);
        const int gw = bx1 - bx0, gh = by1 - by0;
        if (gw > 0 && gh > 0) {
            std::vector<unsigned char> g(static_cast<size_t>(gw) * gh);
            stbtt_MakeCodepointBitmap(&info, g.data(), gw, gh, gw, scaleHi, scaleHi, l.codepoint);
            const int ox = -left * kOver + bx0, oy = baseline * kOver + by0;
            for (int y = 0; y < gh; ++y)
                for (int x = 0; x < gw; ++x) {
                    int tx = ox + x, ty = oy + y;
                    if (tx < 0 || ty < 0 || tx >= hw || ty >= hh)
                        continue;
                    hi[static_cast<size_t>(ty) * hw + tx] =
                        static_cast<float>(g[static_cast<size_t>(y) * gw + x]) / 255.0f;
                }
        }
        // Outline: the glyph coverage dilated by a disc (soft-edged), at 4x.
        const float rad = kOutline * kOver;
        const int ir = static_cast<int>(std::ceil(rad)) + 1;
        std::vector<float> dil(hi.size(), 0.0f);
        for (int y = 0; y < hh; ++y)
            for (int x = 0; x < hw; ++x) {
                float m = 0.0f;
                for (int dy = -ir; dy <= ir && m < 1.0f; ++dy)
                    for (int dx = -ir; dx <= ir; ++dx) {
                        int sx = x + dx, sy = y + dy;
                        if (sx < 0 || sy < 0 || sx >= hw || sy >= hh)
                            continue;
                        float v = hi[static_cast<size_t>(sy) * hw + sx];
                        if (v <= m)
                            continue;
                        float w =
                            Clamp01(rad + 0.5f - std::sqrt(static_cast<float>(dx * dx + dy * dy)));
                        m = std::max(m, v * w);
                    }
                dil[static_cast<size_t>(y) * hw + x] = m;
            }
        c.fill.assign(static_cast<size_t>(c.w) * c.h, 0.0f);
        c.line = c.fill;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                float f = 0, o = 0;
                for (int sy = 0; sy < kOver; ++sy)
                    for (int sx = 0; sx < kOver; ++sx) {
                        size_t i = static_cast<size_t>(y * kOver + sy) * hw + (x * kOver + sx);
                        f += hi[i];
                        o += dil[i];
                    }
                c.fill[static_cast<size_t>(y) * c.w + x] = f / (kOver * kOver);
                c.line[static_cast<size_t>(y) * c.w + x] = o / (kOver * kOver);
            }
        cells.push_back(std::move(c));
    }

    // Shelf packing, one transparent pixel between cells.
    int px = 1, py = 1;
    for (Cell& c : cells) {
        if (px + c.w + 1 > kTexWidth) {
            px = 1;
            py += cellH + 1;
        }
        c.x = px;
        c.y = py;
        px += c.w + 1;
    }
    int texH = 16;
    while (texH < py + cellH + 1)
        texH *= 2;

    // Light letters (warm white, slightly darker toward the baseline) with a near-black outline.
    Canvas tex(kTexWidth, texH, 1);
    const Color top = Hex(0xfffbef), bottom = Hex(0xd9d2bf), ink = Hex(0x0d0b0a);
    for (const Cell& c : cells)
        for (int y = 0; y < c.h; ++y) {
            float t = Clamp01(static_cast<float>(y - kPad) / static_cast<float>(ascent + 1));
            Color fillColor = Lerp(top, bottom, t);
            for (int x = 0; x < c.w; ++x) {
                float f = c.fill[static_cast<size_t>(y) * c.w + x];
                float o = c.line[static_cast<size_t>(y) * c.w + x];
                tex.Blend(c.x + x, c.y + y, ink, std::min(1.0f, o * 1.15f));
                tex.Blend(c.x + x, c.y + y, fillColor, f);
            }
        }
    if (!WritePng(out + "/gfx/durvan.png", tex)) {
        std::fprintf(stderr, "assetgen: cannot write gfx/durvan.png\n");
        return false;
    }

    std::FILE* f = std::fopen((out + "/gfx/durvan.fnt").c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write gfx/durvan.fnt\n");
        return false;
    }
    std::fprintf(f, "[HGEFONT]\n\n");
    std::fprintf(f,
                 "; DejaVu Sans Bold, %.0f px em, line height %d; letters keyed by Windows-1254 "
                 "byte (hex)\n",
                 static_cast<double>(kEmPixels), cellH);
    std::fprintf(f, "Bitmap=durvan.png\n\n");
    for (const Cell& c : cells)
        std::fprintf(f, "Char=%02X,%d,%d,%d,%d,%d,%d\n", c.code, c.x, c.y, c.w, c.h, c.pre, c.post);
    return std::fclose(f) == 0;
}

}  // namespace ag
