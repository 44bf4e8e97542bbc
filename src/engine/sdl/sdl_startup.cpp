// Start-up and shutdown: the window, the renderer, input and sound, in that order, and what a
// player is told when the game cannot start.
#include <SDL.h>

#include "engine/engine_log.h"
#include "engine/sdl/sdl_engine.h"

bool SdlEngine::System_Initiate() {
    if (initiated_) {
        return true;
    }
    options_ = EngineOptions::FromEnvironment();
    const bool fullscreen = StartsFullscreen();
    if (!display_.Open(options_, launch_.title, fullscreen, screenWidth_, screenHeight_)) {
        TellWhyNotStarted();
        return false;
    }
    input_.Open(display_.Window(), display_.Renderer(), screenWidth_, screenHeight_, fullscreen,
                launch_.touch);
    if (!batch_.Open(display_.Renderer(), options_.atlas)) {
        CloseAll();
        TellWhyNotStarted();
        return false;
    }
    if (useSound_) {
        audio_.Open();
    }
    // Pictures go out at the display's pace, or 60 a second when it does not say.
    loop_.Clock().SetPresentPeriod(display_.RefreshPeriod() > 0.0 ? display_.RefreshPeriod()
                                                                  : 1.0 / 60.0);
    loop_.Clock().Restart();
    soundPaused_ = false;
    initiated_ = true;
    return true;
}

// The command line wins over the environment, which wins over what the game asks for.
bool SdlEngine::StartsFullscreen() const {
    switch (launch_.window) {
        case WindowChoice::kWindowed:
            return false;
        case WindowChoice::kFullscreen:
            return true;
        case WindowChoice::kAsAsked:
            break;
    }
#ifdef __EMSCRIPTEN__
    // A page cannot take the screen before the player asks (the fullscreen button, Alt+Enter);
    // its canvas fills the browser's window instead.
    return false;
#else
    return !windowed_ && !options_.forceWindow;
#endif
}

// A game started from a desktop has nowhere to show its standard error; on Windows nobody would
// ever see why it did not start.
void SdlEngine::TellWhyNotStarted() const {
#ifdef _WIN32
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, launch_.title, LastLogLine(), nullptr);
#endif
}

void SdlEngine::System_Shutdown() {
    if (!initiated_) {
        return;
    }
    CloseAll();
    initiated_ = false;
}

void SdlEngine::CloseAll() {
    audio_.Close();
    batch_.Close();
    input_.Close();
    display_.Close();
}
