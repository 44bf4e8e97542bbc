#include "engine/sdl/options.h"

#include <SDL.h>

namespace {

bool Mentions(const char* value, const char* word) {
    return value != nullptr && SDL_strcasestr(value, word) != nullptr;
}

}  // namespace

EngineOptions EngineOptions::FromEnvironment() {
    EngineOptions options;
    const char* windowed = SDL_getenv("ZS_WINDOWED");
    options.forceWindow = windowed != nullptr && windowed[0] == '1';
    const char* atlas = SDL_getenv("ZS_ATLAS");
    if (atlas != nullptr && (atlas[0] == '0' || atlas[0] == '1')) {
        options.atlas = atlas[0] == '1';
    }
    const char* dataDir = SDL_getenv("ZS_DATA_DIR");
    if (dataDir != nullptr) {
        options.dataDir = dataDir;
    }
    const char* video = SDL_getenv("SDL_VIDEODRIVER");
    options.headlessVideoAsked = Mentions(video, "offscreen") || Mentions(video, "dummy");
    return options;
}
