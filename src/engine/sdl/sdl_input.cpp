// Input and the frame timer: events are pumped once per frame before the frame callback.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "sdl_engine.h"

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

void SdlEngine::PumpEvents() {
    keyPressed_ = 0;
    std::memset(keyTapped_, 0, sizeof keyTapped_);
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        HandleEvent(e);
    }
}

void SdlEngine::HandleEvent(const SDL_Event& e) {
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
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int vk = VirtualButton(e.button.button);
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            if (vk != 0) {
                keyDown_[vk] = down;
                keyTapped_[vk] = keyTapped_[vk] || down;
                if (down && keyPressed_ == 0) {
                    keyPressed_ = vk;
                }
            }
            break;
        }
        default:
            break;
    }
}

void SdlEngine::HandleKey(const SDL_Event& e, bool down) {
    const SDL_Keycode sym = e.key.keysym.sym;
    const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
    // Alt+Enter belongs to the engine: the game sees neither the press nor the held Enter.
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
    const int vk = VirtualKey(sym);
    if (vk == 0) {
        return;
    }
    keyDown_[vk] = down;
    keyTapped_[vk] = keyTapped_[vk] || down;
    // Taken from the event, so a tap shorter than a frame still counts; auto-repeat does not.
    if (down && e.key.repeat == 0 && keyPressed_ == 0) {
        keyPressed_ = vk;
    }
}

void SdlEngine::HandleWindowEvent(const SDL_Event& e) {
    switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            quit_ = true;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            suspended_ = true;
            ReleaseAllKeys();
            UpdateGrab();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (suspended_) {
                suspended_ = false;
                // The pause is not game time: the next frame starts the clock afresh.
                timerStarted_ = false;
            }
            UpdateGrab();
            break;
        default:
            break;
    }
}

void SdlEngine::ReleaseAllKeys() {
    // Key-ups that happen while another window has focus never reach us.
    std::memset(keyDown_, 0, sizeof keyDown_);
    std::memset(keyTapped_, 0, sizeof keyTapped_);
    enterHeldByToggle_ = false;
}

void SdlEngine::ToggleFullscreen() {
    fullscreen_ = !fullscreen_;
    if (fullscreen_) {
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowSize(window_, screenWidth_, screenHeight_);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    UpdateGrab();
}

bool SdlEngine::IsFullscreen() const {
    return window_ != nullptr && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlEngine::UpdateGrab() {
    // Fullscreen keeps the mouse inside the picture; another window taking focus frees it.
    if (window_ != nullptr) {
        SDL_SetWindowGrab(window_, fullscreen_ && !suspended_ ? SDL_TRUE : SDL_FALSE);
    }
}

void SdlEngine::UpdateMouse() {
    if (!mouseSeen_) {
        return;  // the crosshair waits at the centre until the mouse first moves
    }
    int wx = 0;
    int wy = 0;
    SDL_GetMouseState(&wx, &wy);
    float lx = 0.0f;
    float ly = 0.0f;
    SDL_RenderWindowToLogical(renderer_, wx, wy, &lx, &ly);
    // The letterbox bars map outside the picture.
    mouseX_ = std::clamp(lx, 0.0f, static_cast<float>(screenWidth_ - 1));
    mouseY_ = std::clamp(ly, 0.0f, static_cast<float>(screenHeight_ - 1));
}

void SdlEngine::UpdateTimer() {
    const std::uint64_t now = SDL_GetPerformanceCounter();
    if (timerStarted_) {
        delta_ = static_cast<float>(static_cast<double>(now - lastCounter_) /
                                    static_cast<double>(SDL_GetPerformanceFrequency()));
    } else {
        delta_ = 0.0f;
        timerStarted_ = true;
    }
    lastCounter_ = now;
}

float SdlEngine::Timer_GetDelta() {
    return delta_;
}

void SdlEngine::Input_GetMousePos(float* x, float* y) {
    if (x != nullptr) {
        *x = mouseX_;
    }
    if (y != nullptr) {
        *y = mouseY_;
    }
}

bool SdlEngine::Input_GetKeyState(int key) {
    // A key pressed and released between two frames still counts as held for the next one, so a
    // quick tap of a weapon key or a short click is never lost.
    return key > 0 && key < kKeyCount && (keyDown_[key] || keyTapped_[key]);
}

int SdlEngine::Input_GetKey() {
    return keyPressed_;
}
