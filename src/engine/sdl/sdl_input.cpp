#include "engine/sdl/sdl_input.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "engine/hge.h"

namespace {

// The game's key codes for the keys it knows; 0 for the rest.
int VirtualKey(SDL_Keycode sym) {
    if (sym >= SDLK_a && sym <= SDLK_z) {
        return HGEK_A + (sym - SDLK_a);
    }
    if (sym >= SDLK_0 && sym <= SDLK_9) {
        return HGEK_0 + (sym - SDLK_0);
    }
    switch (sym) {
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

}  // namespace

void SdlInput::Open(SDL_Window* window, SDL_Renderer* renderer, int width, int height,
                    bool fullscreen) {
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
    UpdateGrab();
}

void SdlInput::Close() {
    pads_.CloseAll();
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
            mouseSeen_ = true;
            // One that goes nowhere (a warp onto the same spot) leaves the crosshair to the stick.
            mouseMoved_ = mouseMoved_ || e.motion.x != motionX_ || e.motion.y != motionY_;
            motionX_ = e.motion.x;
            motionY_ = e.motion.y;
            break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            targetsLost_ = true;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            Press(VirtualButton(e.button.button), down, down);
            break;
        }
        case SDL_CONTROLLERDEVICEADDED:
            pads_.Added(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            pads_.Removed(e.cdevice.which);
            break;
        // What a pad holds is read each frame; its presses come from here, so a tap shorter than a
        // frame still counts.
        case SDL_CONTROLLERBUTTONDOWN:
            Tap(GamePads::ButtonKey(e.cbutton.button));
            break;
        default:
            break;
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
    // Auto-repeat holds the key but is no new press.
    Press(VirtualKey(sym), down, down && e.key.repeat == 0);
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
}

void SdlInput::Tap(int key) {
    if (key != 0) {
        keyTapped_[key] = true;
        keyPressed_ = keyPressed_ != 0 ? keyPressed_ : key;
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
            if (suspended_) {
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
    const AimMotion aim = StickAim(aimX, aimY, seconds);
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
