// The game's images: ground, soldier, zombies, gore, pickups, crosshair, HUD bar, weapon icons and
// the desktop icons. Every figure is built from signed distance shapes on a supersampled canvas.
#include <cstdio>

#include "assetgen.hpp"
#include "raster.hpp"

namespace ag {
namespace {

constexpr int kSS = 6;  // samples per pixel along each axis for the sprites

// Palette shared by all sprites, so the game looks like one piece.
const Color kOutline = Hex(0x14110e, 0.92f);
const Color kUniform = Hex(0x5d6b3c);
const Color kUniformDark = Hex(0x46522c);
const Color kHelmet = Hex(0x55623a);
const Color kPack = Hex(0x574f36);
const Color kGlove = Hex(0x3b2f24);
const Color kSkinSoldier = Hex(0xc99a72);
const Color kGunMetal = Hex(0x2c2e31);
const Color kGunLight = Hex(0x5c6066);
const Color kShirt = Hex(0x4f5a66);
const Color kSkinZombie = Hex(0x86a062);
const Color kSkinZombieDark = Hex(0x5f7a44);
const Color kHair = Hex(0x2b2720);
const Color kBlood = Hex(0x7e0c0c);
const Color kBloodDark = Hex(0x4c0606);
const Color kBone = Hex(0xe6dcc4);
const Color kBrass = Hex(0xd2a33a);
const Color kCopper = Hex(0xb8683a);

struct Part {
    Sdf sdf;
    Shader shade;
    bool edge = true;  // a thin dark line around the part, so overlapping parts read apart
};

Sdf UnionOf(const std::vector<Part>& parts) {
    std::vector<Sdf> sdfs;
    for (const Part& p : parts)
        sdfs.push_back(p.sdf);
    return [sdfs](float x, float y) {
        float d = 1e9f;
        for (const Sdf& s : sdfs)
            d = std::min(d, s(x, y));
        return d;
    };
}

// Soft drop shadow, dark outline around the whole silhouette, then the parts in order.
void DrawFigure(Canvas& cv, const std::vector<Part>& parts, float outline = 0.85f,
                float shadow = 0.34f, float shadowReach = 1.0f) {
    Sdf all = UnionOf(parts);
    if (shadow > 0)
        Fill(cv, Offset(Grow(all, 0.4f * shadowReach), 1.4f * shadowReach, 1.9f * shadowReach),
             Rgb(0, 0, 0, shadow), 1.6f * shadowReach);
    if (outline > 0)
        Fill(cv, Grow(all, outline), kOutline);
    for (const Part& p : parts) {
        if (p.edge)
            Fill(cv, Grow(p.sdf, 0.55f), WithAlpha(kOutline, 0.75f));
        Fill(cv, p.sdf, p.shade);
    }
}

Shader Flat(Color c) {
    return [c](float, float, float) { return c; };
}

// ---------------------------------------------------------------------------------------------
// Ground

void DrawPebble(std::vector<float>& img, int size, float cx, float cy, float rx, float ry,
                float ang, Color c) {
    const int ss = 3;
    int x0 = static_cast<int>(std::floor(cx - rx - 3)),
        x1 = static_cast<int>(std::ceil(cx + rx + 3));
    int y0 = static_cast<int>(std::floor(cy - rx - 3)),
        y1 = static_cast<int>(std::ceil(cy + rx + 3));
    float cs = std::cos(ang), sn = std::sin(ang);
    auto sdf = [&](float x, float y) {
        float px = x - cx, py = y - cy;
        float lx = (px * cs + py * sn) / rx, ly = (-px * sn + py * cs) / ry;
        return (std::sqrt(lx * lx + ly * ly) - 1.0f) * std::min(rx, ry);
    };
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float shadow = 0.0f, cov = 0.0f, cr = 0, cg = 0, cb = 0;
            for (int sy = 0; sy < ss; ++sy)
                for (int sx = 0; sx < ss; ++sx) {
                    float fx = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / ss;
                    float fy = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / ss;
                    float d = sdf(fx, fy);
                    float ds = sdf(fx - 0.9f, fy - 1.1f);
                    if (ds < 0.6f)
                        shadow += SmoothStep(0.6f, -0.8f, ds);
                    if (d < 0.0f) {
                        cov += 1.0f;
                        float lx = (fx - cx) / rx, ly = (fy - cy) / ry;
                        float k =
                            1.0f + 0.45f * (-lx - ly) * 0.5f + 0.15f * SmoothStep(0, 1.5f, -d);
                        cr += c.r * k;
                        cg += c.g * k;
                        cb += c.b * k;
                    }
                }
            const float n = static_cast<float>(ss * ss);
            int wx = ((x % size) + size) % size, wy = ((y % size) + size) % size;
            float* p = &img[(static_cast<size_t>(wy) * size + wx) * 3];
            float sh = 0.45f * shadow / n;
            for (int i = 0; i < 3; ++i)
                p[i] *= 1.0f - sh;
            if (cov > 0) {
                float a = cov / n;
                p[0] = Mix(p[0], cr / cov, a);
                p[1] = Mix(p[1], cg / cov, a);
                p[2] = Mix(p[2], cb / cov, a);
            }
        }
}

Canvas MakeDirt() {
    const int size = 1024;
    std::vector<float> img(static_cast<size_t>(size) * size * 3);
    const Color dry = Hex(0x5a4a38), damp = Hex(0x3a3026), light = Hex(0x6b5a45);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float fx = static_cast<float>(x), fy = static_cast<float>(y);
            // Large darker patches, medium texture, fine grain; all tile every 1024 pixels.
            float patches = Fbm(fx / 128.0f, fy / 128.0f, 11, 4, 8);
            float mid = Fbm(fx / 32.0f, fy / 32.0f, 23, 4, 32);
            float fine = Fbm(fx / 4.0f, fy / 4.0f, 37, 2, 256);
            float ridge = 1.0f - std::fabs(Fbm(fx / 64.0f, fy / 64.0f, 51, 4, 16) * 2.0f - 1.0f);
            Color c = Lerp(damp, dry, SmoothStep(0.30f, 0.72f, patches));
            c = Lerp(c, light, 0.35f * SmoothStep(0.55f, 0.9f, mid));
            float k = 0.86f + 0.22f * mid + 0.16f * (fine - 0.5f);
            // thin dark cracks along the ridges of a noise field
            k *= 1.0f - 0.16f * SmoothStep(0.965f, 0.995f, ridge) * SmoothStep(0.5f, 0.7f, patches);
            float* p = &img[(static_cast<size_t>(y) * size + x) * 3];
            p[0] = c.r * k;
            p[1] = c.g * k;
            p[2] = c.b * k;
        }
    Rng rng(0x0D1127u);
    // Pebbles: many small ones, a few larger stones.
    for (int i = 0; i < 1400; ++i) {
        float cx = rng.Range(0, size), cy = rng.Range(0, size);
        bool big = rng.Uniform() < 0.06f;
        float r = big ? rng.Range(2.5f, 4.5f) : rng.Range(0.7f, 1.9f);
        float g = rng.Range(0.55f, 0.85f);
        Color c = Lerp(Hex(0x6e6558), Hex(0x8a7d69), g);
        c = Scale(c, rng.Range(0.75f, 1.0f));
        DrawPebble(img, size, cx, cy, r, r * rng.Range(0.6f, 0.95f), rng.Range(0, kPi), c);
    }
    // Dry grass tufts: short dark strokes in small clusters.
    for (int i = 0; i < 90; ++i) {
        float cx = rng.Range(0, size), cy = rng.Range(0, size);
        int blades = rng.Int(4, 8);
        Color c = Lerp(Hex(0x4a4a2a), Hex(0x5e5a34), rng.Uniform());
        for (int b = 0; b < blades; ++b) {
            float ang = -kPi / 2 + rng.Signed() * 1.1f, len = rng.Range(3.0f, 7.0f);
            float ax = cx + rng.Signed() * 2, ay = cy + rng.Signed() * 1.5f;
            float bx = ax + std::cos(ang) * len, by = ay + std::sin(ang) * len;
            int steps = static_cast<int>(len * 3);
            for (int s = 0; s <= steps; ++s) {
                float t = static_cast<float>(s) / static_cast<float>(steps);
                int px = static_cast<int>(std::floor(Mix(ax, bx, t)));
                int py = static_cast<int>(std::floor(Mix(ay, by, t)));
                px = ((px % size) + size) % size;
                py = ((py % size) + size) % size;
                float* p = &img[(static_cast<size_t>(py) * size + px) * 3];
                float a = 0.35f * (1.0f - 0.6f * t);
                p[0] = Mix(p[0], c.r, a);
                p[1] = Mix(p[1], c.g, a);
                p[2] = Mix(p[2], c.b, a);
            }
        }
    }
    Canvas cv(size, size, 1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float* p = &img[(static_cast<size_t>(y) * size + x) * 3];
            float* o = cv.At(x, y);
            o[0] = p[0];
            o[1] = p[1];
            o[2] = p[2];
            o[3] = 1.0f;
        }
    return cv;
}

// ---------------------------------------------------------------------------------------------
// Soldier (faces +y)

Canvas MakeSoldier(bool smg) {
    Canvas cv(50, 50, kSS);
    std::vector<Part> parts;
    const float cx = 25.0f;
    parts.push_back({Box(cx, 17.8f, 6.6f, 3.2f, 0.0f, 1.6f), Dome(kPack, cx, 17.8f, 6.6f)});
    parts.push_back({Ellipse(cx, 24.2f, 11.4f, 6.0f), Dome(kUniform, cx, 24.2f, 11.4f, 1.5f)});
    // an arm: sleeve to the elbow, bare forearm, glove
    auto arm = [&](float sx, float sy, float ex, float ey, float hx, float hy) {
        parts.push_back(
            {Capsule(sx, sy, ex, ey, 2.9f, 2.5f), Tube(kUniformDark, sx, sy, ex, ey, 2.8f)});
        parts.push_back(
            {Capsule(ex, ey, hx, hy, 2.1f, 1.8f), Tube(kSkinSoldier, ex, ey, hx, hy, 2.0f), false});
        parts.push_back({Circle(hx, hy + 0.4f, 2.0f), Dome(kGlove, hx, hy + 0.4f, 2.0f)});
    };
    auto gunShade = [](float axis) {
        return [axis](float x, float, float d) {
            float hl = SmoothStep(0.9f, 0.0f, std::fabs(x - axis));
            Color c = Lerp(kGunMetal, kGunLight, 0.65f * hl);
            return d > -0.3f ? Scale(c, 0.8f) : c;
        };
    };
    if (!smg) {
        // Pistol: both arms forward, elbows slightly out, a short pistol held in both hands.
        parts.push_back({Box(cx, 40.4f, 1.5f, 4.0f, 0.0f, 0.6f), gunShade(cx - 0.4f)});
        arm(15.0f, 25.4f, 18.2f, 31.2f, 23.4f, 35.6f);
        arm(35.0f, 25.4f, 31.8f, 31.2f, 26.6f, 35.6f);
    } else {
        // Submachine gun: a long gun on the right side, right hand on the grip, left arm across
        // to the fore-end, the magazine sticking out to the side.
        const float gx = 29.8f;
        parts.push_back(
            {Box(31.4f, 27.6f, 1.1f, 3.0f, -0.25f, 0.5f), Flat(Hex(0x222325))});  // stock
        parts.push_back(
            {Box(gx - 2.7f, 35.4f, 1.6f, 1.1f, 0.0f, 0.3f), Flat(Hex(0x1e1f21))});  // magazine
        parts.push_back({Box(gx, 37.6f, 1.8f, 9.0f, 0.0f, 0.7f), gunShade(gx - 0.5f)});
        parts.push_back({Capsule(gx, 46.0f, gx, 49.2f, 0.8f), Flat(Hex(0x3a3c40))});  // barrel
        arm(35.0f, 25.4f, 34.6f, 31.0f, 31.0f, 32.8f);
        arm(15.0f, 25.4f, 19.4f, 32.6f, 28.0f, 41.0f);
    }
    Sdf helmet = Circle(cx, 23.2f, 6.3f);
    parts.push_back({helmet, Dome(kHelmet, cx, 23.2f, 6.3f, 1.6f, 1.3f)});
    DrawFigure(cv, parts);
    Grain(cv, helmet, 0.16f, 1.4f, 7);
    Grain(cv, Ellipse(cx, 24.2f, 11.3f, 5.9f), 0.10f, 1.0f, 8);
    // helmet band; the brim shadow at the front shows where he looks
    Fill(cv, Subtract(Circle(cx, 23.2f, 4.9f), Circle(cx, 23.2f, 4.3f)),
         Rgb(0.16f, 0.18f, 0.1f, 0.35f));
    Fill(cv, Intersect(helmet, Circle(cx, 31.0f, 3.6f)), Rgb(0.1f, 0.11f, 0.07f, 0.5f));
    return cv.Downsample();
}

// ---------------------------------------------------------------------------------------------
// Zombie (faces +y), three stages of the same creature

void BloodStains(Canvas& cv, const Sdf& clip, float cx, float cy, float spread, int count,
                 uint32_t seed) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        float a = rng.Range(0, 2 * kPi), r = spread * std::sqrt(rng.Uniform());
        float x = cx + std::cos(a) * r, y = cy + std::sin(a) * r;
        float rad = rng.Range(0.7f, 2.2f);
        Sdf s = Ragged(Circle(x, y, rad), 0.5f, 1.3f, seed + static_cast<uint32_t>(i));
        Fill(cv, Intersect(s, clip),
             WithAlpha(i % 3 == 0 ? kBloodDark : kBlood, rng.Range(0.6f, 0.9f)));
    }
}

Canvas MakeZombie(int stage, int size) {
    Canvas cv(size, size, kSS);
    const float cx = 25.0f, cy = 24.2f;
    const uint32_t seed = 4242;  // same rags, hair and tears at every stage
    std::vector<Part> parts;
    Sdf torso = Ragged(Ellipse(cx, 24.4f, 11.8f, 6.4f), 0.8f, 0.55f, seed);
    parts.push_back({torso, Dome(kShirt, cx, 24.4f, 11.8f, 1.5f)});
    // an arm reaching forward: torn sleeve, rotting forearm, clawing hand
    auto zarm = [&](float sx, float ex, float hx, float side) {
        const float sy = 25.0f, ey = 32.0f, hy = 40.5f;
        parts.push_back({Ragged(Capsule(sx, sy, ex, ey, 2.9f, 2.6f), 0.45f, 1.2f, seed + 3),
                         Tube(kShirt, sx, sy, ex, ey, 2.8f)});
        parts.push_back({Capsule(ex, ey - 0.5f, hx, hy, 2.1f, 1.8f),
                         Tube(kSkinZombie, ex, ey, hx, hy, 2.0f), false});
        parts.push_back({Circle(hx, hy + 1.0f, 2.2f), Dome(kSkinZombie, hx, hy + 1.0f, 2.2f)});
        for (int f = -1; f <= 1; ++f) {
            float ff = static_cast<float>(f);
            float fx = hx + 1.05f * ff;
            float tip = 45.2f - 0.5f * std::fabs(ff) + 0.25f * side * ff;
            parts.push_back({Capsule(fx, 42.0f, fx + 0.45f * ff, tip, 0.72f, 0.55f),
                             Flat(Scale(kSkinZombie, 0.9f)), false});
        }
    };
    bool leftArm = stage == 1, rightArm = stage <= 2;
    if (leftArm)
        zarm(15.2f, 16.4f, 18.6f, -1.0f);
    if (rightArm)
        zarm(34.8f, 33.6f, 31.4f, 1.0f);
    Sdf head = Ellipse(cx, cy, 5.9f, 6.2f);
    parts.push_back({Circle(cx - 5.8f, cy + 0.8f, 1.3f), Flat(kSkinZombieDark)});  // ears
    parts.push_back({Circle(cx + 5.8f, cy + 0.8f, 1.3f), Flat(kSkinZombieDark)});
    parts.push_back({head, Dome(kSkinZombie, cx, cy, 6.0f, 1.8f, 1.3f)});
    DrawFigure(cv, parts);
    // torn shirt: skin showing through holes
    Sdf holes = Ragged(Union(Union(Circle(17.0f, 21.5f, 1.6f), Circle(32.5f, 27.2f, 1.4f)),
                             Circle(30.0f, 19.6f, 1.1f)),
                       0.5f, 1.5f, seed + 9);
    Fill(cv, Intersect(holes, torso), Dome(kSkinZombieDark, cx, 24, 12));
    Grain(cv, torso, 0.14f, 0.9f, seed + 1);
    // mottled scalp with a few dark tufts of hair, dark eye sockets at the front
    Grain(cv, head, 0.22f, 0.9f, seed + 2);
    Sdf hair = Intersect(Grow(head, -0.8f), [](float x, float y) {
        return (0.62f - Fbm(x * 0.5f, y * 0.5f, 77, 3)) * 8.0f;
    });
    Fill(cv, Intersect(hair, [cy](float, float y) { return y - (cy + 1.5f); }),
         WithAlpha(kHair, 0.8f));
    Fill(cv, Ellipse(cx - 2.3f, cy + 4.6f, 1.25f, 1.0f), Rgb(0.08f, 0.05f, 0.04f, 0.95f));
    Fill(cv, Ellipse(cx + 2.3f, cy + 4.6f, 1.25f, 1.0f), Rgb(0.08f, 0.05f, 0.04f, 0.95f));
    Fill(cv, Circle(cx - 2.1f, cy + 4.8f, 0.45f), Rgb(0.95f, 0.85f, 0.3f, 0.9f));
    Fill(cv, Circle(cx + 2.5f, cy + 4.8f, 0.45f), Rgb(0.95f, 0.85f, 0.3f, 0.9f));
    Sdf body = UnionOf(parts);
    // dried blood around the mouth at every stage
    Fill(cv, Ragged(Ellipse(cx, cy + 6.3f, 1.8f, 0.7f), 0.35f, 1.5f, seed + 5),
         WithAlpha(kBloodDark, 0.8f));
    auto stump = [&](float sx, uint32_t s) {
        Fill(cv, Ragged(Circle(sx, 25.0f, 3.2f), 0.5f, 1.4f, s), kOutline);
        Fill(cv, Ragged(Circle(sx, 25.0f, 2.5f), 0.4f, 1.4f, s + 1), Dome(kBlood, sx, 25.0f, 2.5f));
        Fill(cv, Circle(sx + 0.3f, 24.8f, 0.85f), kBone);
        BloodStains(cv, Subtract(body, Grow(head, 0.8f)), sx + (sx < cx ? 3.0f : -3.0f), 26.0f,
                    5.0f, 8, s + 2);
    };
    if (!leftArm)
        stump(14.2f, 900);
    if (!rightArm)
        stump(35.8f, 950);
    Sdf clothes = Subtract(body, Grow(head, 0.8f));
    if (stage >= 2)
        BloodStains(cv, clothes, cx + 4.0f, 28.0f, 5.0f, 5, 1200);
    if (stage >= 3) {
        BloodStains(cv, clothes, cx - 4.0f, 21.0f, 7.0f, 8, 1300);
        // gash across the scalp
        Fill(cv, Capsule(cx - 3.0f, cy - 3.0f, cx + 1.8f, cy - 0.6f, 0.85f), kBloodDark);
        Fill(cv, Capsule(cx - 2.6f, cy - 2.9f, cx + 1.4f, cy - 0.8f, 0.42f), kBlood);
    }
    return cv.Downsample();
}

// ---------------------------------------------------------------------------------------------
// Gore

Canvas MakeArm() {
    Canvas cv(30, 30, kSS);
    Fill(cv, Ragged(Ellipse(8.0f, 22.5f, 5.0f, 3.6f), 1.0f, 0.6f, 31), WithAlpha(kBloodDark, 0.7f),
         0.8f);
    std::vector<Part> parts;
    const float ax = 7.5f, ay = 22.5f, ex = 13.0f, ey = 17.0f, hx = 20.5f, hy = 9.5f;
    parts.push_back({Ragged(Capsule(ax, ay, ex, ey, 3.2f, 3.0f), 0.4f, 1.3f, 33),
                     Tube(kShirt, ax, ay, ex, ey, 3.1f)});
    parts.push_back({Capsule(ex - 1.0f, ey + 1.0f, hx, hy, 2.6f, 2.2f),
                     Tube(kSkinZombie, ex, ey, hx, hy, 2.4f)});
    parts.push_back(
        {Circle(hx + 0.9f, hy - 0.9f, 2.5f), Dome(kSkinZombie, hx + 0.9f, hy - 0.9f, 2.5f)});
    for (int f = -1; f <= 1; ++f) {
        float bx = hx + 2.0f + 0.8f * static_cast<float>(f),
              by = hy - 2.0f - 0.8f * static_cast<float>(-f);
        parts.push_back(
            {Capsule(bx, by, bx + 2.6f, by - 2.4f + 0.3f * static_cast<float>(f), 0.75f, 0.6f),
             Flat(Scale(kSkinZombie, 0.9f))});
    }
    DrawFigure(cv, parts, 0.8f, 0.3f);
    Grain(cv, UnionOf(parts), 0.12f, 1.2f, 35);
    Fill(cv, Ragged(Circle(ax - 0.4f, ay + 0.4f, 2.7f), 0.35f, 1.5f, 36),
         Dome(kBlood, ax, ay, 2.7f));
    Fill(cv, Circle(ax - 0.2f, ay + 0.2f, 0.95f), kBone);
    BloodStains(cv, UnionOf(parts), 11.0f, 19.0f, 4.0f, 5, 37);
    return cv.Downsample();
}

Canvas MakeHead() {
    Canvas cv(30, 30, kSS);
    const float cx = 15.0f, cy = 14.0f;
    Fill(cv, Ragged(Ellipse(cx + 1.0f, cy + 5.5f, 8.5f, 5.0f), 1.4f, 0.45f, 41),
         WithAlpha(kBloodDark, 0.72f), 0.9f);
    Fill(cv, Ragged(Ellipse(cx + 0.5f, cy + 4.5f, 6.0f, 3.5f), 0.9f, 0.6f, 42),
         WithAlpha(kBlood, 0.8f), 0.6f);
    std::vector<Part> parts;
    Sdf head = Circle(cx, cy, 7.0f);
    parts.push_back({head, Dome(kSkinZombie, cx, cy, 7.0f, 1.8f, 1.2f)});
    parts.push_back({Circle(cx - 6.8f, cy + 0.8f, 1.6f), Flat(kSkinZombieDark)});
    parts.push_back({Circle(cx + 6.8f, cy + 0.8f, 1.6f), Flat(kSkinZombieDark)});
    DrawFigure(cv, parts, 0.85f, 0.3f);
    Sdf hair = Intersect(Grow(head, -0.6f), [](float x, float y) {
        return (Fbm(x * 0.45f, y * 0.45f, 77, 3) - 0.5f) * 8.0f;
    });
    Fill(cv, Intersect(hair, [cy](float, float y) { return y - (cy + 1.5f); }),
         WithAlpha(kHair, 0.85f));
    Grain(cv, head, 0.16f, 1.3f, 43);
    // face toward the bottom: eye sockets, nose, open mouth
    Fill(cv, Circle(cx - 2.6f, cy + 3.6f, 1.35f), Rgb(0.08f, 0.05f, 0.04f, 0.95f));
    Fill(cv, Circle(cx + 2.6f, cy + 3.6f, 1.35f), Rgb(0.08f, 0.05f, 0.04f, 0.95f));
    Fill(cv, Circle(cx - 2.4f, cy + 3.8f, 0.5f), Rgb(0.95f, 0.85f, 0.3f, 0.85f));
    Fill(cv, Circle(cx + 2.8f, cy + 3.8f, 0.5f), Rgb(0.95f, 0.85f, 0.3f, 0.85f));
    Fill(cv, Ellipse(cx, cy + 6.2f, 2.1f, 0.9f), Rgb(0.12f, 0.02f, 0.02f, 0.95f));
    BloodStains(cv, head, cx + 2.0f, cy + 3.0f, 4.5f, 6, 44);
    return cv.Downsample();
}

Canvas MakeBlood() {
    Canvas cv(50, 50, kSS);
    Rng rng(0xB100D);
    const float cx = 25.0f, cy = 25.0f;
    Sdf splat = Ragged(Circle(cx, cy, 10.5f), 3.2f, 0.16f, 501);
    for (int i = 0; i < 7; ++i) {
        float a = rng.Range(0, 2 * kPi), len = rng.Range(13.0f, 20.0f);
        float w = rng.Range(1.0f, 2.0f);
        splat =
            Union(splat, Capsule(cx + std::cos(a) * 5, cy + std::sin(a) * 5, cx + std::cos(a) * len,
                                 cy + std::sin(a) * len, w + 1.0f, w * 0.5f));
    }
    for (int i = 0; i < 16; ++i) {
        float a = rng.Range(0, 2 * kPi), r = rng.Range(12.0f, 21.0f);
        splat =
            Union(splat, Circle(cx + std::cos(a) * r, cy + std::sin(a) * r, rng.Range(0.6f, 1.8f)));
    }
    Sdf edge = Ragged(splat, 0.6f, 0.8f, 502);
    Fill(
        cv, edge,
        [](float x, float y, float d) {
            float n = Fbm(x * 0.25f, y * 0.25f, 503, 3);
            Color c = Lerp(kBlood, kBloodDark, SmoothStep(0.35f, 0.75f, n));
            float a = 0.5f + 0.38f * SmoothStep(0.0f, 3.5f, -d);
            // a lighter wet rim just inside the edge
            float rim = SmoothStep(1.4f, 0.3f, -d) * SmoothStep(-0.2f, 0.3f, -d);
            c = Lerp(c, Hex(0xa01818), 0.5f * rim);
            return WithAlpha(c, a);
        },
        0.7f);
    // dark clotted centre
    Fill(cv, Ragged(Circle(cx + 1.0f, cy - 1.0f, 5.0f), 1.8f, 0.3f, 504),
         WithAlpha(kBloodDark, 0.45f), 1.5f);
    return cv.Downsample();
}

Canvas MakeBullet() {
    // 1 x 10: a hot streak, brightest in the middle, fading toward both ends.
    Canvas cv(1, 10, 1);
    const float alpha[10] = {0.25f, 0.5f, 0.78f, 0.95f, 1.0f, 1.0f, 0.95f, 0.85f, 0.6f, 0.3f};
    for (int y = 0; y < 10; ++y) {
        float t = std::fabs(static_cast<float>(y) - 4.5f) / 4.5f;
        Color c = Lerp(Hex(0xfff8d8), Hex(0xffb040), t);
        cv.Blend(0, y, WithAlpha(c, alpha[y]), 1.0f);
    }
    return cv;
}

// ---------------------------------------------------------------------------------------------
// Pickups and crosshair

Canvas MakeHealthItem() {
    Canvas cv(20, 20, kSS);
    std::vector<Part> parts;
    parts.push_back({Capsule(7.5f, 3.6f, 12.5f, 3.6f, 1.1f), Flat(Hex(0x45464a))});  // handle
    parts.push_back(
        {Box(10.0f, 10.6f, 7.8f, 6.5f, 0.0f, 1.6f), Dome(Hex(0xeeeeea), 10.0f, 10.6f, 7.8f, 1.4f)});
    DrawFigure(cv, parts, 0.9f, 0.4f, 0.5f);
    Sdf cross =
        Union(Box(10.0f, 10.8f, 1.55f, 4.6f, 0, 0.3f), Box(10.0f, 10.8f, 4.6f, 1.55f, 0, 0.3f));
    Fill(cv, Grow(cross, 0.45f), Hex(0x5a0808, 0.6f));
    Fill(cv, cross, Dome(Hex(0xe02020), 10.0f, 10.8f, 4.6f));
    Fill(cv, Box(10.0f, 4.6f, 7.6f, 0.35f), Hex(0xffffff, 0.45f));  // lid highlight
    return cv.Downsample();
}

Canvas MakeAmmoItem() {
    Canvas cv(20, 20, kSS);
    std::vector<Part> parts;
    const Color olive = Hex(0x5f6234);
    parts.push_back(
        {Box(10.0f, 10.6f, 8.2f, 6.6f, 0.0f, 1.2f), Dome(olive, 10.0f, 10.6f, 8.2f, 1.0f)});
    DrawFigure(cv, parts, 0.9f, 0.4f, 0.5f);
    // open top: dark interior with five cartridges standing in a row
    Fill(cv, Box(10.0f, 8.5f, 7.3f, 3.9f, 0, 0.5f), Hex(0x1e1d14));
    for (int i = 0; i < 5; ++i) {
        float x = 4.4f + 2.8f * static_cast<float>(i);
        Fill(cv, Box(x, 9.4f, 1.15f, 2.6f, 0, 0.3f), Dome(kBrass, x, 9.4f, 2.0f));
        Fill(cv, Capsule(x, 5.8f, x, 6.9f, 1.05f, 1.15f), Dome(kCopper, x, 6.2f, 1.2f));
    }
    // front panel with a yellow stencil stripe
    Fill(cv, Box(10.0f, 14.5f, 7.6f, 2.5f, 0, 0.6f), Dome(Scale(olive, 0.95f), 10.0f, 14.5f, 7.6f));
    Fill(cv, Box(10.0f, 14.5f, 5.2f, 0.75f), Hex(0xe0c040, 0.9f));
    return cv.Downsample();
}

// Four white arms two pixels wide in a solid dark outline that also marks the aim point, on whole
// pixels so that scaling keeps the white white: the white reads over the dark ground, blood and
// zombies, the outline over anything light.
Canvas MakeCrosshair() {
    Canvas cv(10, 10, kSS);
    const Color dark = Hex(0x141414);
    Fill(cv, Box(5.0f, 5.0f, 5.0f, 2.0f), dark);
    Fill(cv, Box(5.0f, 5.0f, 2.0f, 5.0f), dark);
    const float arms[4][2] = {{5.0f, 2.5f}, {5.0f, 7.5f}, {2.5f, 5.0f}, {7.5f, 5.0f}};
    for (const auto& arm : arms) {
        const bool upright = arm[0] == 5.0f;
        Fill(cv, Box(arm[0], arm[1], upright ? 1.0f : 1.5f, upright ? 1.5f : 1.0f), Hex(0xffffff));
    }
    return cv.Downsample();
}

// ---------------------------------------------------------------------------------------------
// HUD bar and weapon icons

Canvas MakeHudBar() {
    Canvas cv(800, 31, 3);
    // panel body: dark gunmetal with a vertical gradient and brushed noise
    Fill(cv, Box(400.0f, 15.5f, 400.0f, 15.5f), [](float x, float y, float) {
        float t = y / 31.0f;
        Color c = Lerp(Hex(0x3a3f44), Hex(0x1c1f22), t);
        float n = Fbm(x * 0.6f, y * 6.0f, 601, 2);
        return Scale(c, 0.94f + 0.12f * n);
    });
    Fill(cv, Box(400.0f, 0.6f, 400.0f, 0.6f), Hex(0x7a8088));  // top highlight
    Fill(cv, Box(400.0f, 1.8f, 400.0f, 0.6f), Hex(0x101214));
    // recessed slots where the numbers and the weapon go
    auto slot = [&](float x0, float x1, float y0, float y1) {
        float cxs = (x0 + x1) / 2, cys = (y0 + y1) / 2, hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
        Fill(cv, Box(cxs + 0.5f, cys + 0.5f, hw, hh, 0, 2.0f), Hex(0x4b5158));  // lower-right lip
        Fill(cv, Box(cxs, cys, hw, hh, 0, 2.0f), [=](float, float y, float d) {
            float t = (y - y0) / (y1 - y0);
            Color c = Lerp(Hex(0x0b0c0d), Hex(0x17191b), t);
            return d > -1.0f ? Scale(c, 0.7f) : c;
        });
    };
    slot(30, 125, 6, 29);   // reserve ammunition
    slot(158, 250, 6, 29);  // health
    slot(594, 636, 3, 28);  // weapon icon
    slot(637, 700, 2, 22);  // rounds in the clip
    // rivets
    for (float x : {8.0f, 22.0f, 138.0f, 146.0f, 264.0f, 578.0f, 712.0f, 792.0f})
        for (float y : {8.0f, 23.0f}) {
            Fill(cv, Circle(x + 0.3f, y + 0.4f, 1.9f), Rgb(0, 0, 0, 0.6f));
            Fill(cv, Circle(x, y, 1.6f), Dome(Hex(0x8a9096), x, y, 1.6f));
        }
    // vents across the middle
    for (int i = 0; i < 22; ++i) {
        float x = 290.0f + 13.0f * static_cast<float>(i);
        Fill(cv, Box(x, 16.0f, 1.6f, 7.0f, 0, 1.2f), Hex(0x0c0d0e));
        Fill(cv, Box(x + 1.3f, 16.5f, 0.4f, 6.5f, 0, 0.3f), Hex(0x5a6066, 0.6f));
    }
    // hazard stripes at the right end
    Fill(cv, Box(756.0f, 16.0f, 36.0f, 9.0f, 0, 1.5f), [](float x, float y, float d) {
        float band = std::fmod(x + y + 400.0f, 10.0f);
        Color c = band < 5.0f ? Hex(0xb08a1e) : Hex(0x1a1a1a);
        return d > -1.0f ? Scale(c, 0.6f) : Scale(c, 0.85f);
    });
    // icons: a cartridge left of the reserve number, a heart left of the health number
    {
        const float x = 47.0f;
        Sdf kase = Box(x, 21.0f, 2.7f, 5.2f, 0, 0.5f);
        Sdf tip = Capsule(x, 13.2f, x, 15.4f, 1.2f, 2.5f);
        Fill(cv, Grow(Union(kase, tip), 0.9f), kOutline);
        Fill(cv, tip, Dome(kCopper, x, 14.6f, 2.5f));
        Fill(cv, kase, Dome(kBrass, x, 21.0f, 3.0f));
        Fill(cv, Box(x, 25.3f, 2.9f, 0.5f), Hex(0x7a5a1a));
        const float x2 = 42.0f;  // a second cartridge behind, for a box-of-ammo feel
        (void)x2;
    }
    {
        const float x = 174.0f, y = 18.0f;
        Sdf heart = Union(Union(Circle(x - 2.9f, y - 2.3f, 3.4f), Circle(x + 2.9f, y - 2.3f, 3.4f)),
                          Intersect(Box(x, y + 1.7f, 5.6f, 5.6f, kPi / 4, 1.0f),
                                    [y](float, float yy) { return y - 2.3f - yy; }));
        Fill(cv, Grow(heart, 0.9f), kOutline);
        Fill(cv, heart, Dome(Hex(0xd42424), x, y - 1.0f, 6.0f, 1.6f, 1.2f));
    }
    return cv.Downsample();
}

Shader Metal(float top, float bottom) {
    return [=](float, float y, float d) {
        float t = Clamp01((y - top) / (bottom - top));
        Color c = Lerp(Hex(0x8c9198), Hex(0x3a3d42), t);
        if (t < 0.25f)
            c = Lerp(Hex(0xc2c7cc), c, t / 0.25f);
        return d > -0.4f ? Scale(c, 0.75f) : c;
    };
}

Canvas MakePistolIcon() {
    Canvas cv(25, 14, kSS);
    std::vector<Part> parts;
    parts.push_back({Box(6.6f, 9.6f, 2.3f, 4.0f, 0.22f, 0.6f), [](float x, float y, float d) {
                         float n = Fbm(x * 2.5f, y * 2.5f, 71, 2);
                         Color c = Scale(Hex(0x6e4526), 0.8f + 0.4f * n);
                         return d > -0.4f ? Scale(c, 0.7f) : c;
                     }});  // grip
    parts.push_back(
        {Subtract(Circle(10.8f, 7.4f, 2.4f), Circle(10.8f, 7.2f, 1.5f)), Metal(5, 10)});  // guard
    parts.push_back({Box(13.0f, 6.2f, 9.0f, 1.2f, 0, 0.3f), Metal(5, 7.4f)});             // frame
    parts.push_back({Box(13.4f, 3.6f, 10.0f, 1.9f, 0, 0.5f), Metal(1.7f, 5.5f)});         // slide
    parts.push_back({Box(2.4f, 2.6f, 1.0f, 1.0f, 0.5f, 0.3f), Metal(1.6f, 3.6f)});        // hammer
    DrawFigure(cv, parts, 0.8f, 0.0f);
    for (int i = 0; i < 4; ++i)
        Fill(cv, Box(5.5f + 0.9f * static_cast<float>(i), 3.6f, 0.18f, 1.3f),
             Hex(0x202225, 0.8f));                       // serrations
    Fill(cv, Circle(10.8f, 7.9f, 0.5f), Hex(0x1a1a1a));  // trigger
    return cv.Downsample();
}

Canvas MakeSmgIcon() {
    Canvas cv(31, 15, kSS);
    std::vector<Part> parts;
    // stock: skeletal frame
    parts.push_back(
        {Subtract(Box(4.6f, 6.0f, 3.6f, 2.6f, 0.0f, 0.8f), Box(4.9f, 6.0f, 2.2f, 1.2f, 0, 0.4f)),
         Metal(3.4f, 8.6f)});
    // curved magazine, pistol grip
    parts.push_back({Capsule(18.0f, 8.0f, 19.4f, 13.4f, 1.2f, 1.1f), Metal(8, 14)});
    parts.push_back({Box(11.4f, 10.6f, 1.3f, 2.8f, 0.25f, 0.5f), Metal(8, 13.5f)});
    parts.push_back({Subtract(Circle(14.2f, 9.0f, 1.9f), Circle(14.2f, 8.8f, 1.1f)), Metal(8, 11)});
    // receiver, fore-end, barrel
    parts.push_back({Box(14.5f, 6.0f, 6.6f, 2.2f, 0, 0.6f), Metal(3.8f, 8.2f)});
    parts.push_back({Box(23.4f, 6.6f, 3.2f, 1.8f, 0, 0.7f), Metal(4.8f, 8.4f)});
    parts.push_back({Box(28.0f, 6.0f, 1.8f, 0.7f, 0, 0.2f), Metal(5.3f, 6.7f)});
    parts.push_back({Box(16.0f, 3.2f, 1.0f, 0.7f), Metal(2.5f, 4.0f)});  // rear sight
    parts.push_back({Box(26.0f, 4.3f, 0.5f, 0.8f), Metal(3.5f, 5.0f)});  // front sight
    DrawFigure(cv, parts, 0.8f, 0.0f);
    Fill(cv, Box(14.5f, 6.4f, 3.0f, 0.25f), Hex(0x1a1b1d, 0.9f));  // ejection port
    return cv.Downsample();
}

// ---------------------------------------------------------------------------------------------
// Desktop icon: a zombie face behind a crosshair, on a dark red tile. Drawn in 64 units.

Canvas MakeAppIcon(int px) {
    const float u = static_cast<float>(px) / 64.0f;
    Canvas cv(px, px, 4, u);
    Fill(cv, Box(32, 32, 30, 30, 0, 9), [](float x, float y, float) {
        float r = std::hypot(x - 32, y - 28) / 40.0f;
        return Lerp(Hex(0x5a1010), Hex(0x160606), Clamp01(r));
    });
    // head
    Sdf skull = Union(Ellipse(32, 30, 15, 17), Ellipse(32, 42, 11, 8));
    Fill(cv, Offset(Grow(skull, 1.5f), 1, 2), Rgb(0, 0, 0, 0.5f), 1.5f);
    Fill(cv, Grow(skull, 1.3f), kOutline);
    Fill(cv, skull, Dome(kSkinZombie, 32, 32, 17, 3.0f, 1.0f));
    Sdf hair = Intersect(
        skull, [](float x, float y) { return (y - 22.0f - 3.0f * std::sin(x * 0.9f)) * 0.8f; });
    Fill(cv, hair, WithAlpha(kHair, 0.9f));
    // eye sockets with glowing eyes, nose hole, stitched mouth, blood
    for (float ex : {25.0f, 39.0f}) {
        Fill(cv, Ellipse(ex, 33, 4.6f, 3.8f), Rgb(0.06f, 0.03f, 0.02f));
        Fill(cv, Circle(ex + 0.4f, 33.4f, 1.6f), Hex(0xf2d040));
    }
    Fill(cv, Box(32, 39.5f, 1.2f, 2.0f, 0, 0.8f), Rgb(0.1f, 0.05f, 0.04f));
    Fill(cv, Box(32, 45.5f, 7.0f, 1.6f, 0, 1.2f), Hex(0x2a0606));
    for (int i = 0; i < 6; ++i) {
        float x = 26.0f + 2.4f * static_cast<float>(i);
        Fill(cv, Box(x, 45.5f, 0.6f, 2.4f), Hex(0xd8d0b0));
    }
    Fill(cv, Capsule(36, 47, 37, 53, 1.0f, 0.6f), kBlood);
    Fill(cv, Ragged(Circle(41, 23, 3.0f), 0.8f, 0.6f, 9), WithAlpha(kBlood, 0.9f));
    // crosshair over it
    Sdf ring = Subtract(Circle(32, 33, 19), Circle(32, 33, 16.6f));
    Sdf ticks = Union(Union(Box(32, 10, 1.2f, 6), Box(32, 56, 1.2f, 6)),
                      Union(Box(9, 33, 6, 1.2f), Box(55, 33, 6, 1.2f)));
    Sdf ch = Union(ring, ticks);
    Fill(cv, Grow(ch, 1.2f), Rgb(0, 0, 0, 0.7f));
    Fill(cv, ch, Hex(0xb8ff5a));
    return cv.Downsample();
}

}  // namespace

bool WriteImages(const std::string& out) {
    bool ok = true;
    auto png = [&](const std::string& name, const Canvas& cv) {
        if (!WritePng(out + "/" + name, cv)) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", name.c_str());
            ok = false;
        }
    };
    if (!WriteJpeg(out + "/gfx/dirt.jpg", MakeDirt(), 88))
        ok = false;
    png("gfx/asker1.png", MakeSoldier(false));
    png("gfx/asker2.png", MakeSoldier(true));
    png("gfx/mermi1.png", MakeBullet());
    png("gfx/saglik_nesne.png", MakeHealthItem());
    png("gfx/mermi_nesne.png", MakeAmmoItem());
    png("gfx/nisangah.png", MakeCrosshair());
    png("gfx/zombi1.png", MakeZombie(1, 52));
    png("gfx/zombi2.png", MakeZombie(2, 50));
    png("gfx/zombi3.png", MakeZombie(3, 50));
    png("gfx/kol1.png", MakeArm());
    png("gfx/kelle1.png", MakeHead());
    png("gfx/kanlar.png", MakeBlood());
    png("gfx/alt_menu.png", MakeHudBar());
    png("gfx/silah1.png", MakePistolIcon());
    png("gfx/silah2.png", MakeSmgIcon());
    png("icons/zombie-shooter-64.png", MakeAppIcon(64));
    png("icons/zombie-shooter-128.png", MakeAppIcon(128));
    png("icons/zombie-shooter-256.png", MakeAppIcon(256));
    // For the page installed on a phone's home screen (its web app manifest).
    png("icons/zombie-shooter-192.png", MakeAppIcon(192));
    png("icons/zombie-shooter-512.png", MakeAppIcon(512));
    if (!WriteIco(out + "/icons/zombie-shooter.ico",
                  {MakeAppIcon(16), MakeAppIcon(32), MakeAppIcon(48), MakeAppIcon(256)})) {
        std::fprintf(stderr, "assetgen: cannot write icons/zombie-shooter.ico\n");
        ok = false;
    }
    return ok;
}

}  // namespace ag
