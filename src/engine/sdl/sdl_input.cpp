#include "engine/sdl/sdl_input.h"

#include <SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <algorithm>
#include <cstring>

#include "engine/hge.h"
#include "engine/touch_layout.h"

namespace {

// The game's key codes for the keys it knows; 0 for the rest. Letters and digits by where they
// sit (a US keyboard's names for the places), the rest by what they are.
int VirtualKey(const SDL_Keysym& key) {
    const SDL_Scancode place = key.scancode;
    if (place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z) {
        return HGEK_A + (place - SDL_SCANCODE_A);
    }
    // SDL counts the digit row from 1 to 9, then 0.
    if (place >= SDL_SCANCODE_1 && place <= SDL_SCANCODE_9) {
        return HGEK_1 + (place - SDL_SCANCODE_1);
    }
    if (place == SDL_SCANCODE_0) {
        return HGEK_0;
    }
    switch (key.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return HGEK_ENTER;
        case SDLK_ESCAPE:
            return HGEK_ESCAPE;
        case SDLK_SPACE:
            return HGEK_SPACE;
        default:
            return 0;
    }
}

int VirtualButton(Uint8 button) {
    if (button == SDL_BUTTON_LEFT) {
        return HGEK_LBUTTON;
    }
    return button == SDL_BUTTON_RIGHT ? HGEK_RBUTTON : 0;
}

// SDL's renderer moves every finger onto the picture before the event is queued, clamping the
// ones in the letterbox bars to its edge; the touch controls live in those bars. This filter runs
// before it and keeps the place in the window in the event's motion fields, which nothing here
// reads otherwise (HandleFinger puts it back).
int KeepFingerPlace(void*, SDL_Event* e) {
    if (e->type == SDL_FINGERDOWN || e->type == SDL_FINGERMOTION || e->type == SDL_FINGERUP) {
        e->tfinger.dx = e->tfinger.x;
        e->tfinger.dy = e->tfinger.y;
    }
    return 1;
}

// Set by the page while it holds the game (a phone held upright); the game waits as it does for a
// hidden tab, and a tab shown again does not wake it.
bool pageHolds = false;

}  // namespace

#ifdef __EMSCRIPTEN__
extern "C" EMSCRIPTEN_KEEPALIVE void zs_hold_game(int hold) {
    pageHolds = hold != 0;
    SDL_Event e{SDL_WINDOWEVENT};
    e.window.event = pageHolds ? SDL_WINDOWEVENT_HIDDEN : SDL_WINDOWEVENT_SHOWN;
    SDL_PushEvent(&e);
}
#endif

void SdlInput::Open(SDL_Window* window, SDL_Renderer* renderer, int width, int height,
                    bool fullscreen, const TouchLayout& touch) {
    window_ = window;
    renderer_ = renderer;
    width_ = width;
    height_ = height;
    fullscreen_ = fullscreen;
    suspended_ = false;
    resumed_ = false;
    quit_ = false;
    std::memset(keyDown_, 0, sizeof keyDown_);
    keyPressed_ = 0;
    mouseX_ = static_cast<float>(width) / 2.0f;
    mouseY_ = static_cast<float>(height) / 2.0f;
    mouseSeen_ = false;
    padAiming_ = false;
    motionX_ = -1;
    motionY_ = -1;
    pads_.OpenAll();
    // A finger is taken as a finger only (sdl_touch.h), and the mouse as a mouse only.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    SDL_SetEventFilter(KeepFingerPlace, nullptr);
    touch_.Open(window, width, height, touch);
    UpdateGrab();
}

void SdlInput::Close() {
    pads_.CloseAll();
    SDL_SetEventFilter(nullptr, nullptr);
    touch_.Close();
    window_ = nullptr;
    renderer_ = nullptr;
}

void SdlInput::Pump() {
    keyPressed_ = 0;
    resumed_ = false;
    mouseMoved_ = false;
    targetsLost_ = false;
    std::memset(keyTapped_, 0, sizeof keyTapped_);
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        HandleEvent(e);
    }
}

void SdlInput::HandleEvent(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            quit_ = true;
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(e);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            HandleKey(e, e.type == SDL_KEYDOWN);
            break;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            HandleMouse(e);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            HandleFinger(e);
            break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            targetsLost_ = true;
            break;
        case SDL_CONTROLLERDEVICEADDED:
            pads_.Added(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            pads_.Removed(e.cdevice.which);
            break;
        // What a pad holds is read each frame; its presses come from here, so a tap shorter than a
        // frame still counts.
        case SDL_CONTROLLERBUTTONDOWN:
            touch_.Hide();
            Tap(GamePads::ButtonKey(e.cbutton.button));
            break;
        default:
            break;
    }
}

// SDL's own stand-in for a finger is no mouse: the finger arrives as itself.
void SdlInput::HandleMouse(const SDL_Event& e) {
    if (e.type == SDL_MOUSEMOTION) {
        if (e.motion.which == SDL_TOUCH_MOUSEID) {
            return;
        }
        mouseSeen_ = true;
        // One that goes nowhere (a warp onto the same spot) leaves the crosshair to the stick.
        const bool moved = e.motion.x != motionX_ || e.motion.y != motionY_;
        mouseMoved_ = mouseMoved_ || moved;
        motionX_ = e.motion.x;
        motionY_ = e.motion.y;
        if (moved) {
            touch_.Hide();
        }
        return;
    }
    if (e.button.which == SDL_TOUCH_MOUSEID) {
        return;
    }
    const bool down = e.type == SDL_MOUSEBUTTONDOWN;
    touch_.Hide();
    Press(VirtualButton(e.button.button), down, down);
}

// And the mouse's stand-in for a finger is no finger.
void SdlInput::HandleFinger(const SDL_Event& e) {
    if (e.tfinger.touchId == SDL_MOUSE_TOUCHID) {
        return;
    }
    SDL_TouchFingerEvent finger = e.tfinger;
    finger.x = finger.dx;  // the place in the window (KeepFingerPlace)
    finger.y = finger.dy;
    if (e.type == SDL_FINGERDOWN) {
        touch_.Down(finger);
    } else if (e.type == SDL_FINGERMOTION) {
        touch_.Motion(finger);
    } else {
        Tap(touch_.Up(finger));
    }
}

void SdlInput::HandleKey(const SDL_Event& e, bool down) {
    const SDL_Keycode sym = e.key.keysym.sym;
    const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
    // Alt+Enter belongs to the engine.
    if (enter && down && (e.key.keysym.mod & KMOD_ALT) != 0) {
        if (e.key.repeat == 0) {
            ToggleFullscreen();
        }
        enterHeldByToggle_ = true;
        return;
    }
    if (enter && enterHeldByToggle_) {
        enterHeldByToggle_ = down;
        return;
    }
    if (down) {
        touch_.Hide();
    }
    // Auto-repeat holds the key but is no new press.
    Press(VirtualKey(e.key.keysym), down, down && e.key.repeat == 0);
}

// Taken from the event, not the keyboard's state at the frame, so a tap shorter than a frame
// still counts.
void SdlInput::Press(int key, bool down, bool counts) {
    if (key == 0) {
        return;
    }
    keyDown_[key] = down;
    keyTapped_[key] = keyTapped_[key] || down;
    if (counts && keyPressed_ == 0) {
        keyPressed_ = key;
    }
    if (counts) {
        touch_.KeyPressed(key);
    }
}

void SdlInput::Tap(int key) {
    if (key != 0) {
        keyTapped_[key] = true;
        keyPressed_ = keyPressed_ != 0 ? keyPressed_ : key;
        touch_.KeyPressed(key);
    }
}

void SdlInput::HandleWindowEvent(const SDL_Event& e) {
    switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            quit_ = true;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:  // a page whose tab went to the background
            suspended_ = true;
            ReleaseAllKeys();
            UpdateGrab();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_SHOWN:
            if (suspended_ && !pageHolds) {
                suspended_ = false;
                resumed_ = true;
            }
            UpdateGrab();
            break;
        default:
            break;
    }
}

void SdlInput::ReleaseAllKeys() {
    // Key-ups that happen while another window has focus never reach us.
    std::memset(keyDown_, 0, sizeof keyDown_);
    std::memset(keyTapped_, 0, sizeof keyTapped_);
    enterHeldByToggle_ = false;
    touch_.LiftAll();
}

void SdlInput::ToggleFullscreen() {
    fullscreen_ = !fullscreen_;
    if (fullscreen_) {
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowSize(window_, width_, height_);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    UpdateGrab();
}

bool SdlInput::IsFullscreen() const {
    return window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlInput::UpdateGrab() {
    // Fullscreen keeps the mouse inside the picture; another window taking focus frees it.
    if (window_ != nullptr) {
        SDL_SetWindowGrab(window_, fullscreen_ && !suspended_ ? SDL_TRUE : SDL_FALSE);
    }
}

void SdlInput::UpdateMouse(float seconds) {
    float aimX = 0.0f;
    float aimY = 0.0f;
    pads_.Read(keyTapped_, &aimX, &aimY);
    AimMotion aim = StickAim(aimX, aimY, seconds);
    if (aim.x != 0.0f || aim.y != 0.0f) {
        touch_.Hide();
    }
    float touchX = 0.0f;
    float touchY = 0.0f;
    Tap(touch_.Read(keyTapped_, &touchX, &touchY));
    aim.x += touchX;
    aim.y += touchY;
    if (mouseMoved_) {
        padAiming_ = false;  // the mouse wins
    } else if (aim.x != 0.0f || aim.y != 0.0f) {
        mouseX_ = std::clamp(mouseX_ + aim.x, 0.0f, static_cast<float>(width_ - 1));
        mouseY_ = std::clamp(mouseY_ + aim.y, 0.0f, static_cast<float>(height_ - 1));
        padAiming_ = true;
    }
    // The crosshair waits at the centre until the mouse first moves, and where the stick left it
    // until the mouse moves again.
    if (!mouseSeen_ || padAiming_) {
        return;
    }
    int wx = 0;
    int wy = 0;
    SDL_GetMouseState(&wx, &wy);
    float lx = 0.0f;
    float ly = 0.0f;
    SDL_RenderWindowToLogical(renderer_, wx, wy, &lx, &ly);
    mouseX_ = std::clamp(lx, 0.0f, static_cast<float>(width_ - 1));
    mouseY_ = std::clamp(ly, 0.0f, static_cast<float>(height_ - 1));
}

void SdlInput::MousePos(float* x, float* y) const {
    if (x != nullptr) {
        *x = mouseX_;
    }
    if (y != nullptr) {
        *y = mouseY_;
    }
}

bool SdlInput::KeyState(int key) const {
    return key > 0 && key < kKeyCount && (keyDown_[key] || keyTapped_[key]);
}
