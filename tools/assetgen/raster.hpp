// Small software rasteriser for the asset generator: supersampled canvases, signed distance
// shapes, value noise and a deterministic random generator. Everything here is plain float math
// without library randomness, so the same program always draws the same pixels.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ag {

constexpr float kPi = 3.14159265358979f;

// ---------------------------------------------------------------------------------------------
// Random numbers and noise

// SplitMix64: tiny, fast, and identical on every platform.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float Uniform() { return static_cast<float>(Next() >> 40) / 16777216.0f; }
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
    // Uniform in [-1, 1).
    float Signed() { return Uniform() * 2.0f - 1.0f; }
    int Int(int lo, int hi) {
        return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1));
    }

  private:
    uint64_t state_;
};

inline uint32_t Hash3(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x27D4EB2Du;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 13)) * 0xC2B2AE35u;
    h ^= static_cast<uint32_t>(y) * 0x165667B1u;
    h = (h ^ (h >> 16)) * 0x85EBCA6Bu;
    h ^= h >> 13;
    return h;
}
inline float HashUnit(int32_t x, int32_t y, uint32_t seed) {
    return static_cast<float>(Hash3(x, y, seed) >> 8) / 16777216.0f;
}

inline float Smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}
inline float Clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
inline float Mix(float a, float b, float t) {
    return a + (b - a) * t;
}
inline float SmoothStep(float e0, float e1, float v) {
    return Smooth(Clamp01((v - e0) / (e1 - e0)));
}

// Value noise in [0, 1]. With period > 0 the lattice wraps, so the noise tiles every `period`
// units.
inline float ValueNoise(float x, float y, uint32_t seed, int period = 0) {
    int xi = static_cast<int>(std::floor(x));
    int yi = static_cast<int>(std::floor(y));
    float fx = Smooth(x - static_cast<float>(xi));
    float fy = Smooth(y - static_cast<float>(yi));
    auto wrap = [period](int v) { return period > 0 ? ((v % period) + period) % period : v; };
    int x0 = wrap(xi), x1 = wrap(xi + 1), y0 = wrap(yi), y1 = wrap(yi + 1);
    float a = HashUnit(x0, y0, seed), b = HashUnit(x1, y0, seed);
    float c = HashUnit(x0, y1, seed), d = HashUnit(x1, y1, seed);
    return Mix(Mix(a, b, fx), Mix(c, d, fx), fy);
}

// Fractal sum of value noise, normalised to [0, 1].
inline float Fbm(float x, float y, uint32_t seed, int octaves, int period = 0) {
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 101u, period);
        norm += amp;
        amp *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        if (period > 0)
            period *= 2;
    }
    return sum / norm;
}

// ---------------------------------------------------------------------------------------------
// Colours

struct Color {
    float r = 0, g = 0, b = 0, a = 1;
};
inline Color Rgb(float r, float g, float b, float a = 1.0f) {
    return Color{r, g, b, a};
}
inline Color Hex(uint32_t rgb, float a = 1.0f) {
    return Color{static_cast<float>((rgb >> 16) & 255) / 255.0f,
                 static_cast<float>((rgb >> 8) & 255) / 255.0f,
                 static_cast<float>(rgb & 255) / 255.0f, a};
}
inline Color Scale(Color c, float k) {
    return Color{c.r * k, c.g * k, c.b * k, c.a};
}
inline Color Lerp(Color a, Color b, float t) {
    return Color{Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t), Mix(a.a, b.a, t)};
}
inline Color WithAlpha(Color c, float a) {
    return Color{c.r, c.g, c.b, a};
}

// ---------------------------------------------------------------------------------------------
// Canvas: premultiplied RGBA floats. Shapes are given in output pixel units; a canvas made with
// supersampling factor S holds S x S samples per output pixel and is reduced by Downsample().

class Canvas {
  public:
    // w, h: output size in pixels; ss: samples per pixel along each axis; unit: output pixels per
    // drawing unit (shapes are given in drawing units, so one design can be drawn at any size).
    Canvas(int w, int h, int ss = 1, float unit = 1.0f)
        : w_(w * ss),
          h_(h * ss),
          ss_(ss),
          unit_(unit),
          px_(static_cast<size_t>(w_) * h_ * 4, 0.0f) {}

    int Width() const { return w_; }
    int Height() const { return h_; }
    int Super() const { return ss_; }
    float Unit() const { return unit_; }
    // Samples per drawing unit.
    float Density() const { return static_cast<float>(ss_) * unit_; }
    float* At(int x, int y) { return &px_[(static_cast<size_t>(y) * w_ + x) * 4]; }
    const float* At(int x, int y) const { return &px_[(static_cast<size_t>(y) * w_ + x) * 4]; }

    // Composites colour c with coverage cov over the sample (source-over).
    void Blend(int x, int y, Color c, float cov) {
        float a = Clamp01(c.a * cov);
        if (a <= 0.0f)
            return;
        float* p = At(x, y);
        float k = 1.0f - a;
        p[0] = c.r * a + p[0] * k;
        p[1] = c.g * a + p[1] * k;
        p[2] = c.b * a + p[2] * k;
        p[3] = a + p[3] * k;
    }

    // Multiplies the colour of already drawn samples (keeps alpha), for shading and stains.
    void Tint(int x, int y, Color c, float amount) {
        float* p = At(x, y);
        float t = Clamp01(amount * c.a);
        p[0] = Mix(p[0], c.r * p[3], t);
        p[1] = Mix(p[1], c.g * p[3], t);
        p[2] = Mix(p[2], c.b * p[3], t);
    }

    // Reduces a supersampled canvas to 1 sample per pixel (box filter on premultiplied values).
    Canvas Downsample() const {
        int ow = w_ / ss_, oh = h_ / ss_;
        Canvas out(ow, oh, 1, unit_);
        float inv = 1.0f / static_cast<float>(ss_ * ss_);
        for (int y = 0; y < oh; ++y)
            for (int x = 0; x < ow; ++x) {
                float acc[4] = {0, 0, 0, 0};
                for (int sy = 0; sy < ss_; ++sy)
                    for (int sx = 0; sx < ss_; ++sx) {
                        const float* p = At(x * ss_ + sx, y * ss_ + sy);
                        for (int i = 0; i < 4; ++i)
                            acc[i] += p[i];
                    }
                float* o = out.At(x, y);
                for (int i = 0; i < 4; ++i)
                    o[i] = acc[i] * inv;
            }
        return out;
    }

    // 8-bit straight-alpha RGBA, rounded deterministically.
    std::vector<unsigned char> ToRgba8() const {
        std::vector<unsigned char> out(static_cast<size_t>(w_) * h_ * 4);
        for (int i = 0; i < w_ * h_; ++i) {
            const float* p = &px_[static_cast<size_t>(i) * 4];
            float a = Clamp01(p[3]);
            float inv = a > 1e-6f ? 1.0f / a : 0.0f;
            for (int c = 0; c < 3; ++c)
                out[static_cast<size_t>(i) * 4 + c] = ToByte(p[c] * inv);
            out[static_cast<size_t>(i) * 4 + 3] = ToByte(a);
            if (out[static_cast<size_t>(i) * 4 + 3] == 0) {
                out[static_cast<size_t>(i) * 4 + 0] = 0;
                out[static_cast<size_t>(i) * 4 + 1] = 0;
                out[static_cast<size_t>(i) * 4 + 2] = 0;
            }
        }
        return out;
    }

    static unsigned char ToByte(float v) {
        return static_cast<unsigned char>(std::floor(Clamp01(v) * 255.0f + 0.5f));
    }

  private:
    int w_, h_, ss_;
    float unit_;
    std::vector<float> px_;
};

// ---------------------------------------------------------------------------------------------
// Signed distance shapes (negative inside), in output pixel units.

using Sdf = std::function<float(float, float)>;
using Shader = std::function<Color(float, float, float)>;  // x, y, signed distance

inline Sdf Circle(float cx, float cy, float r) {
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}
inline Sdf Ellipse(float cx, float cy, float rx, float ry) {
    return [=](float x, float y) {
        float nx = (x - cx) / rx, ny = (y - cy) / ry;
        float l = std::sqrt(nx * nx + ny * ny);
        return (l - 1.0f) * std::min(rx, ry);
    };
}
inline float SegDist(float x, float y, float ax, float ay, float bx, float by) {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t);
}
// Segment with a radius that changes linearly from ra at a to rb at b.
inline Sdf Capsule(float ax, float ay, float bx, float by, float ra, float rb = -1.0f) {
    if (rb < 0)
        rb = ra;
    return [=](float x, float y) {
        float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
        float len2 = dx * dx + dy * dy;
        float t = len2 > 0 ? Clamp01((px * dx + py * dy) / len2) : 0.0f;
        return std::hypot(px - dx * t, py - dy * t) - Mix(ra, rb, t);
    };
}
// Rounded box centred at (cx, cy), half sizes hw, hh, turned by angle (radians), corner radius r.
inline Sdf Box(float cx, float cy, float hw, float hh, float angle = 0.0f, float r = 0.0f) {
    float c = std::cos(angle), s = std::sin(angle);
    return [=](float x, float y) {
        float px = x - cx, py = y - cy;
        float lx = std::fabs(px * c + py * s) - (hw - r);
        float ly = std::fabs(-px * s + py * c) - (hh - r);
        float ox = std::max(lx, 0.0f), oy = std::max(ly, 0.0f);
        return std::hypot(ox, oy) + std::min(std::max(lx, ly), 0.0f) - r;
    };
}
inline Sdf Union(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
inline Sdf Subtract(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
inline Sdf Intersect(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
inline Sdf Grow(Sdf a, float by) {
    return [=](float x, float y) { return a(x, y) - by; };
}
inline Sdf Offset(Sdf a, float dx, float dy) {
    return [=](float x, float y) { return a(x - dx, y - dy); };
}
// Ragged edge: pushes the boundary in and out with noise of the given amplitude and scale.
inline Sdf Ragged(Sdf a, float amp, float freq, uint32_t seed) {
    return [=](float x, float y) {
        return a(x, y) + amp * (Fbm(x * freq, y * freq, seed, 3) * 2.0f - 1.0f);
    };
}

// Fills the shape: every sample whose centre lies inside gets shade(x, y, d), with a one-sample
// smooth edge. `soft` widens the edge (in output pixels) for blurry shapes such as shadows.
inline void Fill(Canvas& cv, const Sdf& sdf, const Shader& shade, float soft = 0.0f) {
    const float s = cv.Density();
    const float edge = std::max(soft, 1.0f / s);
    for (int y = 0; y < cv.Height(); ++y) {
        float fy = (static_cast<float>(y) + 0.5f) / s;
        for (int x = 0; x < cv.Width(); ++x) {
            float fx = (static_cast<float>(x) + 0.5f) / s;
            float d = sdf(fx, fy);
            if (d > edge)
                continue;
            float cov = Clamp01(0.5f - d / edge);
            if (cov <= 0.0f)
                continue;
            cv.Blend(x, y, shade(fx, fy, d), cov);
        }
    }
}
inline void Fill(Canvas& cv, const Sdf& sdf, Color c, float soft = 0.0f) {
    Fill(
        cv, sdf, [c](float, float, float) { return c; }, soft);
}

// Shader for a rounded body lit from the top left: brighter toward the light, darker rim.
inline Shader Dome(Color base, float cx, float cy, float r, float rim = 1.2f,
                   float strength = 1.0f) {
    return [=](float x, float y, float d) {
        float lx = (x - cx) / r, ly = (y - cy) / r;
        float light = 1.0f + strength * (-0.28f * lx - 0.28f * ly);
        float shine = std::max(0.0f, 1.0f - std::hypot(lx + 0.38f, ly + 0.38f) * 2.2f);
        float edge = SmoothStep(0.0f, rim, -d);
        float k = light * (0.62f + 0.38f * edge) + 0.25f * strength * shine * shine;
        return Color{base.r * k, base.g * k, base.b * k, base.a};
    };
}
// Shader for a limb segment from a to b: lit along its side facing the light.
inline Shader Tube(Color base, float ax, float ay, float bx, float by, float rad) {
    return [=](float x, float y, float d) {
        float dx = bx - ax, dy = by - ay;
        float len = std::hypot(dx, dy);
        float nx = len > 0 ? -dy / len : 0, ny = len > 0 ? dx / len : 0;
        float side = ((x - ax) * nx + (y - ay) * ny) / rad;  // -1..1 across the tube
        // light from top left: normal component toward (-1,-1)
        float facing = -(nx + ny) * 0.7071f * side;
        float edge = SmoothStep(0.0f, 1.0f, -d);
        float k = (1.0f + 0.25f * facing) * (0.65f + 0.35f * edge);
        return Color{base.r * k, base.g * k, base.b * k, base.a};
    };
}

// Adds multiplicative noise texture to the colours already drawn where `mask` is inside.
inline void Grain(Canvas& cv, const Sdf& mask, float amount, float freq, uint32_t seed) {
    const float s = cv.Density();
    for (int y = 0; y < cv.Height(); ++y)
        for (int x = 0; x < cv.Width(); ++x) {
            float fx = (static_cast<float>(x) + 0.5f) / s, fy = (static_cast<float>(y) + 0.5f) / s;
            if (mask(fx, fy) > 0.0f)
                continue;
            float n = Fbm(fx * freq, fy * freq, seed, 3) * 2.0f - 1.0f;
            float* p = cv.At(x, y);
            float k = 1.0f + amount * n;
            p[0] *= k;
            p[1] *= k;
            p[2] *= k;
        }
}

// Writes a canvas (downsampled if needed) as PNG. Returns false on failure.
bool WritePng(const std::string& path, const Canvas& cv);
bool WriteJpeg(const std::string& path, const Canvas& cv, int quality);
// Writes the canvases, each a different size, into one Windows icon file.
bool WriteIco(const std::string& path, const std::vector<Canvas>& images);

}  // namespace ag
