// Keys, mouse and the window's own events, taken once per frame before the frame callback.
// - Input_GetKey comes from key-down events, so a tap shorter than a frame is still seen, and a
//   key pressed and released between two frames counts as held for the next one.
// - The mouse is converted from window pixels into the logical picture through the letterbox
//   and clamped to it (the bars map outside the picture).
// - While another window has focus, or the window is minimised, the game is suspended, every key
//   let go and the mouse freed.
// - Alt+Enter switches between desktop fullscreen and a window of the picture's size; the game
//   sees neither that press nor the held Enter.
// - Gamepads (sdl_gamepad.h) hold the same keys and button. Their aiming stick moves the
//   crosshair from wherever it is, but in a frame the mouse moved in, the mouse places it.
// - Touch screens (sdl_touch.h) likewise. SDL's touch-to-mouse and mouse-to-touch stand-ins are
//   dropped, so a finger is never also a mouse.
// - Letters and digits are read by their place on the keyboard (scancodes): W A S D walk under
//   the same fingers on AZERTY, Dvorak or any other layout.
#pragma once

#include "engine/sdl/sdl_gamepad.h"
#include "engine/sdl/sdl_touch.h"

struct SDL_Window;
struct SDL_Renderer;
union SDL_Event;

class SdlInput {
  public:
    // Starts on a new window: nothing held, the crosshair at the centre of the picture.
    void Open(SDL_Window* window, SDL_Renderer* renderer, int width, int height, bool fullscreen,
              const TouchLayout& touch);
    void Close();

    // Takes every waiting event.
    void Pump();
    // Reads the mouse and the pads for the frame about to run, `seconds` after the last one (the
    // frame's delta: the aiming stick moves the crosshair over that time).
    void UpdateMouse(float seconds);

    // What the last Pump saw: the window closed; another window has focus; focus came back;
    // the renderer lost what render targets held.
    bool QuitAsked() const { return quit_; }
    bool TargetsLost() const { return targetsLost_; }
    bool Suspended() const { return suspended_; }
    bool Resumed() const { return resumed_; }
    bool IsFullscreen() const;

    void MousePos(float* x, float* y) const;
    bool KeyState(int key) const;
    int Key() const { return keyPressed_; }
    // The touch controls over the picture about to be shown.
    void DrawTouch() const { touch_.Draw(renderer_); }
    const TouchControls& Touch() const { return touch_; }

  private:
    void HandleEvent(const SDL_Event& e);
    void HandleKey(const SDL_Event& e, bool down);
    void HandleWindowEvent(const SDL_Event& e);
    void HandleFinger(const SDL_Event& e);
    void HandleMouse(const SDL_Event& e);
    void Press(int key, bool down, bool counts);
    void Tap(int key);
    void ReleaseAllKeys();
    void ToggleFullscreen();
    void UpdateGrab();

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    int width_ = 800;
    int height_ = 600;
    bool fullscreen_ = false;
    bool suspended_ = false;
    bool resumed_ = false;
    bool quit_ = false;
    bool targetsLost_ = false;

    static constexpr int kKeyCount = 256;
    bool keyDown_[kKeyCount] = {};
    // Held for this frame only: went down since the last frame, or held on a pad.
    bool keyTapped_[kKeyCount] = {};
    int keyPressed_ = 0;
    bool enterHeldByToggle_ = false;
    float mouseX_ = 0.0f;
    float mouseY_ = 0.0f;
    bool mouseSeen_ = false;
    bool mouseMoved_ = false;  // in the last Pump
    int motionX_ = -1;         // where the last motion event put the mouse, in the window
    int motionY_ = -1;
    bool padAiming_ = false;  // the stick moved the crosshair since the mouse last did
    GamePads pads_;
    TouchControls touch_;
};
