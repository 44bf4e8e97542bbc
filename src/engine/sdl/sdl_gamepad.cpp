#include "engine/sdl/sdl_gamepad.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "engine/engine_log.h"
#include "engine/hge.h"

namespace {

// Each of the eight directions owns 45 degrees: a key counts while the stick is less than
// 67.5 degrees off its direction, so diagonals hold two keys and the rest one.
constexpr float kSin22_5 = 0.38268343f;

float Axis(SDL_GameController* pad, SDL_GameControllerAxis axis) {
    return std::max(static_cast<float>(SDL_GameControllerGetAxis(pad, axis)) / 32767.0f, -1.0f);
}

}  // namespace

WalkKeys StickWalk(float x, float y) {
    const float tilt = std::hypot(x, y);
    if (tilt <= GamePads::kWalkDeadZone) {
        return {0, 0};
    }
    const float edge = tilt * kSin22_5;
    return {y < -edge ? HGEK_W : (y > edge ? HGEK_S : 0),
            x < -edge ? HGEK_A : (x > edge ? HGEK_D : 0)};
}

AimMotion StickAim(float x, float y, float seconds) {
    const float tilt = std::hypot(x, y);
    if (tilt <= GamePads::kAimDeadZone) {
        return {0.0f, 0.0f};
    }
    // The speed grows with the square of how far past the dead zone the stick is: slow enough
    // near the centre to settle on a zombie, quick across the picture when pushed all the way.
    const float push =
        std::min((tilt - GamePads::kAimDeadZone) / (1.0f - GamePads::kAimDeadZone), 1.0f);
    const float distance = GamePads::kAimSpeed * push * push * seconds;
    return {x / tilt * distance, y / tilt * distance};
}

void GamePads::OpenAll() {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_IsGameController(i)) {
            Added(i);
        }
    }
}

void GamePads::CloseAll() {
    while (count_ > 0) {
        Removed(ids_[0]);
    }
}

void GamePads::Added(int deviceIndex) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || count_ == kMaxPads || std::find(ids_, ids_ + count_, id) != ids_ + count_) {
        return;
    }
    if (SDL_GameControllerOpen(deviceIndex) == nullptr) {
        LogLine("cannot use a gamepad: %s", SDL_GetError());
        return;
    }
    ids_[count_++] = id;
}

void GamePads::Removed(int instanceId) {
    int* const end = ids_ + count_;
    int* const slot = std::find(ids_, end, instanceId);
    if (slot == end) {
        return;
    }
    SDL_GameControllerClose(SDL_GameControllerFromInstanceID(instanceId));
    *slot = ids_[--count_];
}

int GamePads::ButtonKey(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return HGEK_W;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return HGEK_A;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return HGEK_S;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return HGEK_D;
        case SDL_CONTROLLER_BUTTON_A:
            return HGEK_LBUTTON;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
        case SDL_CONTROLLER_BUTTON_X:
            return HGEK_1;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        case SDL_CONTROLLER_BUTTON_Y:
            return HGEK_2;
        case SDL_CONTROLLER_BUTTON_START:
            return HGEK_ENTER;
        case SDL_CONTROLLER_BUTTON_BACK:
            return HGEK_ESCAPE;
        default:
            return 0;
    }
}

void GamePads::Read(bool* held, float* aimX, float* aimY) const {
    *aimX = 0.0f;
    *aimY = 0.0f;
    for (int i = 0; i < count_; ++i) {
        SDL_GameController* pad = SDL_GameControllerFromInstanceID(ids_[i]);
        if (pad == nullptr) {
            continue;
        }
        for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
            const int key = ButtonKey(button);
            if (key != 0 && SDL_GameControllerGetButton(
                                pad, static_cast<SDL_GameControllerButton>(button)) != 0) {
                held[key] = true;
            }
        }
        if (Axis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > kTriggerPull) {
            held[HGEK_LBUTTON] = true;
        }
        const WalkKeys walk =
            StickWalk(Axis(pad, SDL_CONTROLLER_AXIS_LEFTX), Axis(pad, SDL_CONTROLLER_AXIS_LEFTY));
        if (walk.vertical != 0) {
            held[walk.vertical] = true;
        }
        if (walk.horizontal != 0) {
            held[walk.horizontal] = true;
        }
        const float x = Axis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
        const float y = Axis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
        if (std::hypot(x, y) > std::hypot(*aimX, *aimY)) {
            *aimX = x;
            *aimY = y;
        }
    }
}
