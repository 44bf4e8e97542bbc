// The touch controls drawn over the picture: translucent, so the game shows through, and in the
// window's own pixels, so they sit in the letterbox bars where there are bars.
#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "engine/sdl/sdl_touch.h"

namespace {

constexpr int kSides = 24;                // of each disc
constexpr int kMaxVertices = 3 * 24 * 8;  // room for eight discs; boxes take fewer

class Shapes {
  public:
    explicit Shapes(float pixelsPerUnit) : k_(pixelsPerUnit) {}

    void Disc(float x, float y, float radius, SDL_Color colour) {
        for (int i = 0; i < kSides; ++i) {
            const float a0 = 6.2831853f * static_cast<float>(i) / kSides;
            const float a1 = 6.2831853f * static_cast<float>(i + 1) / kSides;
            Add(x, y, colour);
            Add(x + radius * std::cos(a0), y + radius * std::sin(a0), colour);
            Add(x + radius * std::cos(a1), y + radius * std::sin(a1), colour);
        }
    }
    void Box(float left, float top, float right, float bottom, SDL_Color colour) {
        Add(left, top, colour);
        Add(right, top, colour);
        Add(right, bottom, colour);
        Add(left, top, colour);
        Add(right, bottom, colour);
        Add(left, bottom, colour);
    }
    // A line as a thin quad from (x0, y0) to (x1, y1).
    void Line(float x0, float y0, float x1, float y1, float width, SDL_Color colour) {
        const float len = std::hypot(x1 - x0, y1 - y0);
        const float nx = (y0 - y1) / len * width / 2.0f;
        const float ny = (x1 - x0) / len * width / 2.0f;
        Add(x0 + nx, y0 + ny, colour);
        Add(x1 + nx, y1 + ny, colour);
        Add(x1 - nx, y1 - ny, colour);
        Add(x0 + nx, y0 + ny, colour);
        Add(x1 - nx, y1 - ny, colour);
        Add(x0 - nx, y0 - ny, colour);
    }
    void Frame(float left, float top, float right, float bottom, float width, SDL_Color colour) {
        Box(left, top, right, top + width, colour);
        Box(left, bottom - width, right, bottom, colour);
        Box(left, top + width, left + width, bottom - width, colour);
        Box(right - width, top + width, right, bottom - width, colour);
    }
    void Draw(SDL_Renderer* renderer) const {
        SDL_RenderGeometry(renderer, nullptr, vertices_, count_, nullptr, 0);
    }

  private:
    void Add(float x, float y, SDL_Color colour) {
        if (count_ < kMaxVertices) {
            vertices_[count_++] = SDL_Vertex{{x * k_, y * k_}, colour, {0.0f, 0.0f}};
        }
    }

    float k_;
    SDL_Vertex vertices_[kMaxVertices];
    int count_ = 0;
};

constexpr SDL_Color kRim{255, 255, 255, 48};
constexpr SDL_Color kKnob{255, 255, 255, 110};
constexpr SDL_Color kMark{255, 255, 255, 150};
constexpr SDL_Color kShade{0, 0, 0, 110};
constexpr SDL_Color kEnding{200, 40, 40, 200};

}  // namespace

void TouchControls::Draw(SDL_Renderer* renderer) const {
    if (!visible_ || renderer == nullptr) {
        return;
    }
    int outW = 0;
    int outH = 0;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    Shapes shapes(static_cast<float>(outW) / windowW_);
    const float r = Radius();
    const float unit = std::min(windowW_, windowH_) / 100.0f;
    // Where each thumb's stick waits when no thumb is on it: low in each side's bar.
    bool walking = false;
    bool aiming = false;
    for (int i = 0; i < count_; ++i) {
        const Finger& f = fingers_[i];
        if (f.role == Role::kWalk) {
            walking = true;
            shapes.Disc(f.baseX, f.baseY, r, kRim);
            shapes.Disc(f.x, f.y, r * 0.45f, kKnob);
        } else if (f.role == Role::kAim) {
            aiming = true;
            shapes.Disc(f.x, f.y, r * 0.6f, kRim);
        } else if (f.role == Role::kEnd) {
            const float held = std::min(
                static_cast<float>(SDL_GetTicks() - f.downAt) / static_cast<float>(kEndHoldMs),
                1.0f);
            const Box b = EndBox();
            shapes.Box(b.left, b.bottom - (b.bottom - b.top) * held, b.right, b.bottom, kEnding);
        }
    }
    if (!walking) {
        shapes.Disc(1.6f * r, windowH_ - 1.6f * r, r, kRim);
    }
    if (!aiming) {
        shapes.Disc(windowW_ - 1.6f * r, windowH_ - 1.6f * r, r * 0.6f, kRim);
    }
    const Box end = EndBox();
    shapes.Box(end.left, end.top, end.right, end.bottom, kShade);
    const float inset = (end.right - end.left) * 0.3f;
    shapes.Line(end.left + inset, end.top + inset, end.right - inset, end.bottom - inset, unit,
                kMark);
    shapes.Line(end.right - inset, end.top + inset, end.left + inset, end.bottom - inset, unit,
                kMark);
    if (cycle_.count > 0) {
        const Box c = CycleBox();
        shapes.Frame(c.left, c.top, c.right, c.bottom, unit * 0.6f, kMark);
    }
    // Over the whole window, not the picture: the logical size is put back after.
    int logicalW = 0;
    int logicalH = 0;
    SDL_RenderGetLogicalSize(renderer, &logicalW, &logicalH);
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    SDL_GetRenderDrawBlendMode(renderer, &blend);
    SDL_RenderSetLogicalSize(renderer, 0, 0);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    shapes.Draw(renderer);
    SDL_SetRenderDrawBlendMode(renderer, blend);
    SDL_RenderSetLogicalSize(renderer, logicalW, logicalH);
}
