// The one engine, its states, the log and loading; the components do the rest.
#include "engine/sdl/sdl_engine.h"

#include <SDL.h>

#include <cstdlib>

#include "engine/engine_log.h"
#include "engine/sdl/file_lookup.h"

namespace {

SdlEngine* instance = nullptr;

// Opens what a loader reads and hands it over; a load that gives nothing back is one line naming
// the file.
template <class Loader>
std::uint32_t LoadFrom(const EngineOptions& options, const EngineLaunch& launch,
                       const char* filename, std::uint32_t size, Loader load) {
    SDL_RWops* source = OpenGameSource(filename, size, options.dataDir.c_str(), launch.name);
    if (source == nullptr) {
        return 0;
    }
    const std::uint32_t handle = load(source);
    if (handle == 0) {
        LogLine("cannot load %s: %s", size != 0 ? "a file from memory" : filename, SDL_GetError());
    }
    return handle;
}

}  // namespace

HGE* SdlEngine::Acquire() {
    if (instance == nullptr) {
        instance = new SdlEngine();
    }
    ++instance->refCount_;
    return instance;
}

SdlEngine* SdlEngine::Instance() {
    return instance;
}

SdlEngine::SdlEngine() : loop_(SDL_GetPerformanceFrequency(), 1) {
    random_.Seed(Now());
}

SdlEngine::~SdlEngine() {
    if (instance == this) {
        instance = nullptr;
    }
}

void SdlEngine::Release() {
    if (--refCount_ > 0) {
        return;
    }
    if (initiated_) {
        System_Shutdown();
    }
    delete this;
}

std::uint64_t SdlEngine::Now() const {
    return SDL_GetPerformanceCounter();
}

// ---- states ----

void SdlEngine::System_SetStateBool(hgeBoolState state, bool value) {
    switch (state) {
        case HGE_WINDOWED:
            windowed_ = value;
            break;
        case HGE_USESOUND:
            useSound_ = value;
            break;
        case HGE_SHOWSPLASH:
            break;  // there is no splash screen
    }
}

void SdlEngine::System_SetStateFunc(hgeFuncState state, hgeCallback value) {
    if (state == HGE_FRAMEFUNC) {
        frameFunc_ = value;
    } else if (state == HGE_RENDERFUNC) {
        renderFunc_ = value;
    } else if (state == HGE_GFXRESTOREFUNC) {
        restoreFunc_ = value;
    }
}

void SdlEngine::System_SetStateInt(hgeIntState state, int value) {
    // The size only matters before the window opens; it becomes the logical picture size.
    if (initiated_ || value <= 0) {
        return;
    }
    if (state == HGE_SCREENWIDTH) {
        screenWidth_ = value;
    } else if (state == HGE_SCREENHEIGHT) {
        screenHeight_ = value;
    }
}

// ---- log, files and loading ----

void SdlEngine::System_Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogLineV(format, args);
    va_end(args);
}

void* SdlEngine::Resource_Load(const char* filename, std::uint32_t* size) {
    return ReadGameFile(filename, options_.dataDir.c_str(), launch_.name, size);
}

void SdlEngine::Resource_Free(void* res) {
    std::free(res);
}

HTEXTURE SdlEngine::Texture_Load(const char* filename, std::uint32_t size, bool) {
    if (!initiated_) {
        System_Log("cannot load %s: the engine is not initiated", filename);
        return 0;
    }
    return LoadFrom(options_, launch_, filename, size,
                    [this](SDL_RWops* source) { return batch_.Load(source); });
}

HEFFECT SdlEngine::Effect_Load(const char* filename, std::uint32_t size) {
    if (!audio_.IsOpen()) {
        return 0;  // sound is off; nothing would play it
    }
    return LoadFrom(options_, launch_, filename, size,
                    [this](SDL_RWops* source) { return audio_.LoadEffect(source); });
}

HSTREAM SdlEngine::Stream_Load(const char* filename, std::uint32_t size) {
    if (!audio_.IsOpen()) {
        return 0;
    }
    return LoadFrom(options_, launch_, filename, size,
                    [this](SDL_RWops* source) { return audio_.LoadStream(source); });
}

void SdlEngine::Random_Seed(int seed) {
    random_.Seed(seed == 0 ? Now() : static_cast<std::uint32_t>(seed));
}
