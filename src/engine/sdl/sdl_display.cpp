#include "engine/sdl/sdl_display.h"

#include <SDL.h>

#include "engine/engine_log.h"

bool SdlDisplay::Open(const EngineOptions& options, const char* title, bool fullscreen, int width,
                      int height) {
    if (!OpenVideo(options)) {
        return false;
    }
    // Resizable in a window too: the picture is letterboxed to whatever size the player drags.
    // On a dense display (a phone, a page at 300 %) the drawing buffer has the display's own
    // pixels, not the window's units stretched.
    const Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                         (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               flags);
    if (window_ == nullptr) {
        LogLine("cannot open the window: %s", SDL_GetError());
    }
    if (window_ == nullptr || !OpenRenderer(width, height)) {
        Close();
        return false;
    }
    return true;
}

bool SdlDisplay::OpenVideo(const EngineOptions& options) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) {
        LogLine("cannot open a display: %s", SDL_GetError());
        return false;
    }
    // With no X or Wayland display SDL quietly picks its offscreen driver; a game nobody can see
    // is worse than a clear message, unless a run without a display was asked for.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && SDL_strcasecmp(driver, "offscreen") == 0 &&
        !options.headlessVideoAsked) {
        LogLine("no display found (DISPLAY and WAYLAND_DISPLAY reach no screen); not starting");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
        return false;
    }
    return true;
}

bool SdlDisplay::OpenRenderer(int width, int height) {
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool headless = driver != nullptr && SDL_strcasecmp(driver, "dummy") == 0;
    if (!headless) {
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    }
    if (renderer_ == nullptr) {
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    }
    if (renderer_ == nullptr) {
        LogLine("cannot create a renderer: %s", SDL_GetError());
        return false;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    const bool software =
        (info.flags & SDL_RENDERER_SOFTWARE) != 0 || SDL_strcasecmp(info.name, "software") == 0;
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window_);
    refreshPeriod_ = 0.0;
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) {
        refreshPeriod_ = 1.0 / mode.refresh_rate;
    }
    // Read when textures are created: smooth scaling on the GPU, exact pixels in software.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, software ? "nearest" : "linear");
    SDL_RenderSetLogicalSize(renderer_, width, height);
    // The game draws its own crosshair.
    SDL_ShowCursor(SDL_DISABLE);
    SDL_SetRelativeMouseMode(SDL_FALSE);
    return true;
}

void SdlDisplay::Close() {
    if (renderer_ != nullptr) {
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    SDL_Quit();
}
