// Input for a scripted run of the real game, as the events a player's keys and mouse make.
#pragma once

#include <SDL.h>

namespace test {

// A key (0: the left mouse button) going down or up.
inline void PushInput(SDL_Keycode key, bool down) {
    SDL_Event e{};
    if (key == 0) {
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
    } else {
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    }
    SDL_PushEvent(&e);
}

}  // namespace test
