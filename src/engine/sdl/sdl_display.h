// The window and its renderer. Fullscreen is the desktop's own resolution (never a display mode
// change) with the logical picture scaled to fit, its aspect kept and letterboxed; windowed, the
// window opens at the picture's size and can be resized and maximised, letterboxed the same way.
// The renderer is accelerated when it can be, else software, and always software on the headless
// `dummy` driver, so read-back pictures are the same everywhere.
#pragma once

#include "engine/sdl/options.h"

struct SDL_Window;
struct SDL_Renderer;

class SdlDisplay {
  public:
    // Opens the video subsystem, the window and the renderer for a logical picture of
    // width x height. False after one log line when any of them cannot be had (and then nothing
    // is left open).
    bool Open(const EngineOptions& options, const char* title, bool fullscreen, int width,
              int height);
    void Close();

    SDL_Window* Window() const { return window_; }
    SDL_Renderer* Renderer() const { return renderer_; }
    // Seconds between two pictures on the display; 0 when the display does not say.
    double RefreshPeriod() const { return refreshPeriod_; }

  private:
    bool OpenVideo(const EngineOptions& options);
    bool OpenRenderer(int width, int height);

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    double refreshPeriod_ = 0.0;
};
