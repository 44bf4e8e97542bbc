// Touch screens (phones, tablets, desktop touch screens), through SDL's finger events, turned into
// the keys, button and crosshair motion the game already reads, as the pads are:
//   left half of the window   a walking stick that appears where the thumb lands and follows it
//                             when it drifts past the stick's rim: W A S D, eight directions,
//                             with the pads' dead zone
//   right half                an aiming pad: the crosshair moves with the thumb (never jumps under
//                             it), faster than the thumb, so a short stroke in the letterbox bar
//                             crosses the picture and the thumb never covers what it aims at; the
//                             gun fires while this thumb is down
//   a tap (short, unmoved)    Enter, on either side (leaves the level-up screen)
//   the game's cycle zone     each press presses the next of its keys (touch_layout.h)
//   the top-right corner      Escape, only after a held press of kEndHoldMs, never a stray touch
// The controls are drawn once a finger has touched the screen, and hidden again when a key, the
// mouse or a pad is used. SDL's stand-ins (touch as mouse, mouse as touch) are not taken here;
// sdl_input drops them so each input arrives once. Nothing here allocates.
#pragma once

#include <cstdint>

#include "engine/touch_layout.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_TouchFingerEvent;

class TouchControls {
  public:
    // How long the corner must be held to press Escape.
    static constexpr std::uint32_t kEndHoldMs = 800;
    // A touch shorter than this that stayed within the dead zone is a tap.
    static constexpr std::uint32_t kTapMs = 300;
    // The stick's radius and the corner button's side, as parts of the window's shorter side.
    static constexpr float kStickRadius = 0.12f;
    static constexpr float kButtonSide = 0.12f;
    // Crosshair pixels per picture pixel the aiming thumb moves.
    static constexpr float kAimGain = 2.5f;

    void Open(SDL_Window* window, int width, int height, const TouchLayout& layout);
    void Close();

    // Finger events; Up gives the key a tap pressed, or 0.
    void Down(const SDL_TouchFingerEvent& e);
    void Motion(const SDL_TouchFingerEvent& e);
    int Up(const SDL_TouchFingerEvent& e);
    // A key, the mouse or a pad was used: the controls go out of sight. Any finger still down
    // keeps working.
    void Hide() { visible_ = false; }
    // Fingers lifted while the window was away never say so.
    void LiftAll() { count_ = 0; }
    // A game key was pressed from anywhere: keeps the cycle's turn where the game is.
    void KeyPressed(int key);

    // For the frame about to run: sets held[key] for the keys the thumbs hold, gives the key a
    // held corner pressed (once), and the crosshair motion since the last call in picture pixels.
    int Read(bool* held, float* aimX, float* aimY);
    // Draws the controls over the shown picture, in the window's own pixels.
    void Draw(SDL_Renderer* renderer) const;

    bool Visible() const { return visible_; }

  private:
    enum class Role : std::uint8_t { kNone, kWalk, kAim, kCycle, kEnd };
    struct Finger {
        std::int64_t id = 0;
        Role role = Role::kNone;
        std::uint32_t downAt = 0;
        float startX = 0.0f;  // window units
        float startY = 0.0f;
        float x = 0.0f;
        float y = 0.0f;
        float baseX = 0.0f;  // the walking stick's centre
        float baseY = 0.0f;
        bool moved = false;  // left the dead zone once: no tap
        bool ended = false;  // the corner's Escape was pressed
    };
    struct Box {
        float left, top, right, bottom;
        bool Holds(float x, float y) const {
            return x >= left && x < right && y >= top && y < bottom;
        }
    };
    static constexpr int kMaxFingers = 10;

    // Window size in window units and the picture's place in it.
    void Measure();
    Role RoleAt(float x, float y) const;
    Box EndBox() const;
    Box CycleBox() const;
    Finger* Find(std::int64_t id);
    float Radius() const;
    int CycleTap();

    SDL_Window* window_ = nullptr;
    int width_ = 800;  // the logical picture
    int height_ = 600;
    TouchKeyCycle cycle_;
    int turn_ = 0;  // the cycle's key the game is on
    Finger fingers_[kMaxFingers];
    int count_ = 0;
    bool visible_ = false;
    float windowW_ = 800.0f;
    float windowH_ = 600.0f;
    float scale_ = 1.0f;  // window units per picture pixel
    float left_ = 0.0f;   // the picture's top-left corner in the window
    float top_ = 0.0f;
    float aimX_ = 0.0f;  // picture pixels not yet handed out
    float aimY_ = 0.0f;
};
