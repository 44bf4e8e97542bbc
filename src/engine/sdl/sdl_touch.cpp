#include "engine/sdl/sdl_touch.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "engine/hge.h"
#include "engine/sdl/sdl_gamepad.h"

void TouchControls::Open(SDL_Window* window, int width, int height, const TouchLayout& layout) {
    window_ = window;
    width_ = width;
    height_ = height;
    cycle_ = layout.cycle;
    cycle_.count = std::clamp(cycle_.count, 0, TouchKeyCycle::kMaxKeys);
    turn_ = 0;
    count_ = 0;
    visible_ = false;
    aimX_ = 0.0f;
    aimY_ = 0.0f;
    Measure();
}

void TouchControls::Close() {
    window_ = nullptr;
    count_ = 0;
}

// Asked at every touch: the window may have been resized or turned since the last.
void TouchControls::Measure() {
    int w = width_;
    int h = height_;
    if (window_ != nullptr) {
        SDL_GetWindowSize(window_, &w, &h);
    }
    windowW_ = static_cast<float>(std::max(w, 1));
    windowH_ = static_cast<float>(std::max(h, 1));
    scale_ =
        std::min(windowW_ / static_cast<float>(width_), windowH_ / static_cast<float>(height_));
    left_ = (windowW_ - scale_ * static_cast<float>(width_)) / 2.0f;
    top_ = (windowH_ - scale_ * static_cast<float>(height_)) / 2.0f;
}

float TouchControls::Radius() const {
    return kStickRadius * std::min(windowW_, windowH_);
}

// In the top-right corner: the top-left holds the score, and the field's corner is free.
TouchControls::Box TouchControls::EndBox() const {
    const float side = kButtonSide * std::min(windowW_, windowH_);
    return {windowW_ - side, 0.0f, windowW_, side};
}

// The game's zone on the picture, grown to a fingertip where it is smaller.
TouchControls::Box TouchControls::CycleBox() const {
    if (cycle_.count == 0) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    const float least = kButtonSide * std::min(windowW_, windowH_);
    const float cx = left_ + scale_ * (cycle_.left + cycle_.right) / 2.0f;
    const float cy = top_ + scale_ * (cycle_.top + cycle_.bottom) / 2.0f;
    const float halfW = std::max(scale_ * (cycle_.right - cycle_.left), least) / 2.0f;
    const float halfH = std::max(scale_ * (cycle_.bottom - cycle_.top), least) / 2.0f;
    return {cx - halfW, cy - halfH, cx + halfW, cy + halfH};
}

TouchControls::Role TouchControls::RoleAt(float x, float y) const {
    if (EndBox().Holds(x, y)) {
        return Role::kEnd;
    }
    if (CycleBox().Holds(x, y)) {
        return Role::kCycle;
    }
    const Role side = x < windowW_ / 2.0f ? Role::kWalk : Role::kAim;
    // One thumb to a stick: a second finger on the same side is not taken.
    for (int i = 0; i < count_; ++i) {
        if (fingers_[i].role == side) {
            return Role::kNone;
        }
    }
    return side;
}

TouchControls::Finger* TouchControls::Find(std::int64_t id) {
    Finger* const end = fingers_ + count_;
    Finger* const f = std::find_if(fingers_, end, [id](const Finger& g) { return g.id == id; });
    return f == end ? nullptr : f;
}

void TouchControls::Down(const SDL_TouchFingerEvent& e) {
    visible_ = true;
    if (count_ == kMaxFingers || Find(e.fingerId) != nullptr) {
        return;
    }
    Measure();
    Finger& f = fingers_[count_];
    f = Finger{};
    f.id = e.fingerId;
    f.downAt = e.timestamp;
    f.x = f.startX = f.baseX = e.x * windowW_;
    f.y = f.startY = f.baseY = e.y * windowH_;
    f.role = RoleAt(f.x, f.y);
    ++count_;
}

void TouchControls::Motion(const SDL_TouchFingerEvent& e) {
    Finger* f = Find(e.fingerId);
    if (f == nullptr) {
        return;
    }
    const float x = e.x * windowW_;
    const float y = e.y * windowH_;
    if (f->role == Role::kAim) {
        aimX_ += (x - f->x) / scale_ * kAimGain;
        aimY_ += (y - f->y) / scale_ * kAimGain;
    }
    f->x = x;
    f->y = y;
    const float r = Radius();
    f->moved = f->moved || std::hypot(x - f->startX, y - f->startY) > GamePads::kWalkDeadZone * r;
    // The stick follows a thumb that drifts past its rim, so it never has to come back to walk.
    const float reach = std::hypot(x - f->baseX, y - f->baseY);
    if (f->role == Role::kWalk && reach > r) {
        f->baseX = x - (x - f->baseX) * r / reach;
        f->baseY = y - (y - f->baseY) * r / reach;
    }
}

int TouchControls::Up(const SDL_TouchFingerEvent& e) {
    Finger* f = Find(e.fingerId);
    if (f == nullptr) {
        return 0;
    }
    const Finger gone = *f;
    *f = fingers_[--count_];
    if (gone.moved) {
        return 0;
    }
    // The slot is a button: however long it was pressed. Elsewhere only a short touch is a tap,
    // not a thumb resting on a stick.
    if (gone.role == Role::kCycle) {
        return CycleTap();
    }
    const bool quick = e.timestamp - gone.downAt < kTapMs;
    return quick && (gone.role == Role::kWalk || gone.role == Role::kAim) ? HGEK_ENTER : 0;
}

int TouchControls::CycleTap() {
    turn_ = (turn_ + 1) % cycle_.count;
    return cycle_.keys[turn_];
}

void TouchControls::KeyPressed(int key) {
    for (int i = 0; i < cycle_.count; ++i) {
        if (cycle_.keys[i] == key) {
            turn_ = i;
        }
    }
}

int TouchControls::Read(bool* held, float* aimX, float* aimY) {
    *aimX = aimX_;
    *aimY = aimY_;
    aimX_ = 0.0f;
    aimY_ = 0.0f;
    int pressed = 0;
    const float r = Radius();
    for (int i = 0; i < count_; ++i) {
        Finger& f = fingers_[i];
        if (f.role == Role::kWalk) {
            const WalkKeys walk = StickWalk((f.x - f.baseX) / r, (f.y - f.baseY) / r);
            for (const int key : {walk.vertical, walk.horizontal}) {
                held[key] = held[key] || key != 0;
            }
        } else if (f.role == Role::kAim) {
            held[HGEK_LBUTTON] = true;
        } else if (f.role == Role::kEnd && !f.ended && SDL_GetTicks() - f.downAt >= kEndHoldMs) {
            f.ended = true;
            pressed = HGEK_ESCAPE;
        }
    }
    return pressed;
}
