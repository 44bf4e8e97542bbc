// A mock screen built from the generated files, for looking at the art in place: the playing
// scene with its HUD (top half) and the level-up screen (bottom half), 800 x 1200 in all.
// Sprites are drawn the way the game draws them (hot spots, rotation toward +y, the font's
// letter cells placed at the pen position).
#include <stb_image.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "assetgen.hpp"
#include "raster.hpp"

namespace ag {
namespace {

struct Image {
    int w = 0, h = 0;
    std::vector<unsigned char> px;  // RGBA
};

Image Load(const std::string& path) {
    Image im;
    int n = 0;
    unsigned char* d = stbi_load(path.c_str(), &im.w, &im.h, &n, 4);
    if (d) {
        im.px.assign(d, d + static_cast<size_t>(im.w) * im.h * 4);
        stbi_image_free(d);
    }
    return im;
}

// Draws the sub-rectangle (sx, sy, sw, sh) of an image with its hot spot (hx, hy) at (x, y),
// turned by `angle`; bilinear sampling, alpha blending.
void Draw(Canvas& cv, const Image& im, float x, float y, float hx, float hy, float angle = 0.0f,
          int sx = 0, int sy = 0, int sw = -1, int sh = -1) {
    if (im.px.empty())
        return;
    if (sw < 0)
        sw = im.w;
    if (sh < 0)
        sh = im.h;
    float c = std::cos(angle), s = std::sin(angle);
    float r = std::hypot(static_cast<float>(sw), static_cast<float>(sh)) + 2;
    for (int py = static_cast<int>(y - r); py <= static_cast<int>(y + r); ++py)
        for (int px = static_cast<int>(x - r); px <= static_cast<int>(x + r); ++px) {
            if (px < 0 || py < 0 || px >= cv.Width() || py >= cv.Height())
                continue;
            float dx = static_cast<float>(px) + 0.5f - x, dy = static_cast<float>(py) + 0.5f - y;
            float u = dx * c + dy * s + hx - 0.5f, v = -dx * s + dy * c + hy - 0.5f;
            if (u < -1 || v < -1 || u > static_cast<float>(sw) || v > static_cast<float>(sh))
                continue;
            int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
            float fu = u - static_cast<float>(u0), fv = v - static_cast<float>(v0);
            float acc[4] = {0, 0, 0, 0};
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 2; ++i) {
                    int tu = u0 + i, tv = v0 + j;
                    if (tu < 0 || tv < 0 || tu >= sw || tv >= sh)
                        continue;
                    float w = (i ? fu : 1 - fu) * (j ? fv : 1 - fv);
                    const unsigned char* p =
                        &im.px[(static_cast<size_t>(sy + tv) * im.w + (sx + tu)) * 4];
                    float a = static_cast<float>(p[3]) / 255.0f;
                    for (int k = 0; k < 3; ++k)
                        acc[k] += w * a * static_cast<float>(p[k]) / 255.0f;
                    acc[3] += w * a;
                }
            if (acc[3] <= 0)
                continue;
            cv.Blend(px, py, Color{acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], 1.0f},
                     acc[3]);
        }
}

struct Font {
    Image tex;
    struct Letter {
        int x, y, w, h, pre, post;
    };
    std::map<int, Letter> letters;
    int height = 0;

    bool Load(const std::string& fnt) {
        std::ifstream in(fnt);
        std::string line, texName;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.rfind("Bitmap", 0) == 0) {
                texName = line.substr(line.find('=') + 1);
                while (!texName.empty() && texName[0] == ' ')
                    texName.erase(0, 1);
            } else if (line.rfind("Char", 0) == 0) {
                Letter l{};
                int code = 0;
                if (std::sscanf(line.c_str(), "Char=%x,%d,%d,%d,%d,%d,%d", &code, &l.x, &l.y, &l.w,
                                &l.h, &l.pre, &l.post) == 7) {
                    letters[code] = l;
                    height = std::max(height, l.h);
                }
            }
        }
        std::string dir = fnt.substr(0, fnt.find_last_of('/') + 1);
        tex = ag::Load(dir + texName);
        return !tex.px.empty() && !letters.empty();
    }
    float Width(const std::string& s) const {
        float w = 0;
        for (unsigned char ch : s) {
            if (ch == '\n')
                break;
            auto it = letters.find(ch);
            if (it == letters.end())
                it = letters.find('?');
            if (it == letters.end())
                continue;
            w += static_cast<float>(it->second.pre + it->second.w + it->second.post);
        }
        return w;
    }
    void Print(Canvas& cv, float x, float y, bool center, const std::string& s) const {
        auto startX = [&](const std::string& rest) {
            return center ? x - std::nearbyint(Width(rest) / 2) : x;
        };
        float pen = startX(s);
        for (size_t i = 0; i < s.size(); ++i) {
            unsigned char ch = static_cast<unsigned char>(s[i]);
            if (ch == '\n') {
                y += static_cast<float>(height);
                pen = startX(s.substr(i + 1));
                continue;
            }
            auto it = letters.find(ch);
            if (it == letters.end())
                it = letters.find('?');
            if (it == letters.end())
                continue;
            const Letter& l = it->second;
            pen += static_cast<float>(l.pre);
            Draw(cv, tex, pen, y, 0, 0, 0, l.x, l.y, l.w, l.h);
            pen += static_cast<float>(l.w + l.post);
        }
    }
};

float Facing(float fx, float fy, float tx, float ty) {
    // the images face +y; turn that toward the target
    return std::atan2(ty - fy, tx - fx) - kPi / 2;
}

}  // namespace

bool WritePreview(const std::string& assets, const std::string& pngPath) {
    auto img = [&](const char* name) { return Load(assets + "/gfx/" + name); };
    Image dirt = img("dirt.jpg"), asker1 = img("asker1.png"), asker2 = img("asker2.png"),
          bullet = img("mermi1.png");
    Image health = img("saglik_nesne.png"), ammo = img("mermi_nesne.png"),
          cross = img("nisangah.png");
    Image z1 = img("zombi1.png"), z2 = img("zombi2.png"), z3 = img("zombi3.png"),
          arm = img("kol1.png");
    Image head = img("kelle1.png"), blood = img("kanlar.png"), bar = img("alt_menu.png"),
          pistol = img("silah1.png");
    Image smg = img("silah2.png");
    Font font;
    if (!font.Load(assets + "/gfx/durvan.fnt")) {
        std::fprintf(stderr, "assetgen: preview cannot read the font\n");
        return false;
    }
    Canvas cv(800, 1200, 1);
    const float sx = 400, sy = 330, cx = 560, cy = 220;
    Draw(cv, dirt, 0, 0, 0, 0);
    Draw(cv, blood, 520, 250, 25, 25, 0.7f);
    Draw(cv, blood, 300, 420, 25, 25, 2.1f);
    Draw(cv, blood, 640, 430, 25, 25, 4.0f);
    Draw(cv, arm, 300, 410, 15, 15, 1.0f);
    Draw(cv, head, 650, 440, 15, 15, 2.5f);
    Draw(cv, health, 250, 250, 10, 10);
    Draw(cv, ammo, 470, 470, 10, 10);
    struct Z {
        const Image* im;
        float x, y;
    } zs[] = {{&z1, 620, 150}, {&z2, 560, 215}, {&z3, 190, 330},
              {&z1, 120, 120}, {&z1, 700, 520}, {&z2, 330, 520}};
    for (const Z& z : zs)
        Draw(cv, *z.im, z.x, z.y, 25, 25, Facing(z.x, z.y, sx, sy));
    Draw(cv, cross, cx - 5, cy - 5, 0, 0);
    Draw(cv, asker2, sx, sy, 25, 25, Facing(sx, sy, cx, cy));
    Draw(cv, asker1, 100, 480, 25, 25, Facing(100, 480, 190, 330));
    for (int i = 0; i < 4; ++i) {
        float t = 30.0f + 45.0f * static_cast<float>(i);
        float ang = std::atan2(cy - sy, cx - sx);
        Draw(cv, bullet, sx + std::cos(ang) * t, sy + std::sin(ang) * t, 0.5f, 5, ang - kPi / 2);
    }
    font.Print(cv, 10, 10, false,
               "\xD6ld\xFCr\xFCl"
               "en = 7\nPuan = 1450");
    Draw(cv, bar, 0, 569, 0, 0);
    Draw(cv, smg, 600, 575, 0, 0);
    font.Print(cv, 60, 580, false, "240");
    font.Print(cv, 190, 580, false, "100");
    font.Print(cv, 640, 570, false, "30");
    // level-up screen: white, centred text
    Canvas white(800, 600, 1);
    Fill(white, Box(400, 300, 400, 300), Rgb(1, 1, 1));
    font.Print(
        white, 400, 300, true,
        "TEBR\xDDKLER!\nSEV\xDDYE ATLADINIZ!\nHAZIR OLDU\xD0UNUZDA ENTER A BASIN!\nPUANINIZ: 1450");
    font.Print(white, 400, 420, true, "\xD6LD\xDCN\xDCZ!\nPUANINIZ: 1450");
    font.Print(white, 400, 480, true,
               "\xC7\xE7\xD0\xF0\xDD\xFD\xD6\xF6\xDE\xFE\xDC\xFC 0123456789 ?!");
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const float* p = white.At(x, y);
            float* o = cv.At(x, y + 600);
            for (int k = 0; k < 4; ++k)
                o[k] = p[k];
        }
    return WritePng(pngPath, cv);
}

}  // namespace ag
