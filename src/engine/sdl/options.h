// Everything the engine reads from the environment, read in one place when the engine starts
// (System_Initiate), so this is the one list of what it honours.
//
// For players and packagers (README's troubleshooting section lists them):
//   ZS_WINDOWED=1     an 800x600 window instead of desktop fullscreen, whatever the game asks for.
//   ZS_ATLAS=0 or 1   every image on a texture of its own (0) or small images packed onto shared
//                     pages (1). Unset, pages are used on accelerated renderers only: there every
//                     draw call costs, while the software renderer gains nothing from them.
//   ZS_DATA_DIR=dir   looked in first for gfx/ and sfx/ (see file_lookup.h).
// SDL's own variables work as SDL reads them: SDL_VIDEODRIVER, SDL_RENDER_DRIVER, SDL_AUDIODRIVER.
// The engine looks at SDL_VIDEODRIVER as well: `offscreen` or `dummy` there asks for a run
// without a display, which then is not taken for a missing one.
#pragma once

#include <optional>
#include <string>

struct EngineOptions {
    bool forceWindow = false;
    // Unset: the renderer decides.
    std::optional<bool> atlas;
    // Empty when not set.
    std::string dataDir;
    bool headlessVideoAsked = false;

    static EngineOptions FromEnvironment();
};
