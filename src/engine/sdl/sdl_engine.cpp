// Start-up, shutdown, the frame loop, states, log, files and random numbers.
#include "sdl_engine.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "file_lookup.h"

namespace {

SdlEngine* instance = nullptr;

constexpr const char* kTitle = "Zombie Shooter";
// The game runs its rules once per frame and a bullet advances a fixed share of its flight per
// frame (the share grows with the frame's length): at the display's 60 Hz a bullet jumps most of
// the way to the aim point in one frame and passes over zombies it should hit. So the loop runs
// frames up to this rate, without vsync, and only presents as often as the display refreshes.
constexpr double kFrameSeconds = 1.0 / 500.0;

bool EnvMentions(const char* name, const char* word) {
    const char* value = SDL_getenv(name);
    return value != nullptr && SDL_strcasestr(value, word) != nullptr;
}

// ZS_WINDOWED=1 forces an 800x600 window whatever the game asks for.
bool EnvForcesWindow() {
    const char* value = SDL_getenv("ZS_WINDOWED");
    return value != nullptr && value[0] == '1';
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

SdlEngine::SdlEngine() {
    random_.Seed(SDL_GetPerformanceCounter());
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

void SdlEngine::ResetCounters() {
    geometryCalls = 0;
    quadsDrawn = 0;
}

void SdlEngine::SetFrameHook(FrameHook hook) {
    frameHook_ = hook;
    hookFrame_ = 0;
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

// ---- start-up and shutdown ----

bool SdlEngine::System_Initiate() {
    if (initiated_) {
        return true;
    }
    if (!OpenVideo()) {
        return false;
    }
    if (!OpenWindow() || !OpenRenderer()) {
        CloseAll();
        return false;
    }
    if (!AllocateBatch()) {
        CloseAll();
        return false;
    }
    IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG);
    OpenAudio();
    std::memset(keyDown_, 0, sizeof keyDown_);
    keyPressed_ = 0;
    mouseX_ = static_cast<float>(screenWidth_) / 2.0f;
    mouseY_ = static_cast<float>(screenHeight_) / 2.0f;
    mouseSeen_ = false;
    quit_ = false;
    suspended_ = false;
    timerStarted_ = false;
    delta_ = 0.0f;
    initiated_ = true;
    return true;
}

bool SdlEngine::OpenVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        System_Log("cannot open a display: %s", SDL_GetError());
        return false;
    }
    // With no X or Wayland display SDL quietly picks its offscreen driver; a game nobody can see
    // is worse than a clear message, unless the headless drivers were asked for.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool headlessAsked =
        EnvMentions("SDL_VIDEODRIVER", "offscreen") || EnvMentions("SDL_VIDEODRIVER", "dummy");
    if (driver != nullptr && SDL_strcasecmp(driver, "offscreen") == 0 && !headlessAsked) {
        System_Log("no display found (DISPLAY and WAYLAND_DISPLAY reach no screen); not starting");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
        return false;
    }
    return true;
}

bool SdlEngine::OpenWindow() {
    fullscreen_ = !windowed_ && !EnvForcesWindow();
    // Desktop fullscreen never changes the display mode; the picture is scaled instead.
    const Uint32 flags = fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
    window_ = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, screenWidth_,
                               screenHeight_, flags);
    if (window_ == nullptr) {
        System_Log("cannot open the window: %s", SDL_GetError());
        return false;
    }
    return true;
}

bool SdlEngine::OpenRenderer() {
    const char* driver = SDL_GetCurrentVideoDriver();
    // The headless driver always draws in software, so read-back pictures are the same everywhere.
    const bool headless = driver != nullptr && SDL_strcasecmp(driver, "dummy") == 0;
    if (!headless) {
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    }
    if (renderer_ == nullptr) {
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    }
    if (renderer_ == nullptr) {
        System_Log("cannot create a renderer: %s", SDL_GetError());
        return false;
    }
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    const bool software =
        (info.flags & SDL_RENDERER_SOFTWARE) != 0 || SDL_strcasecmp(info.name, "software") == 0;
    vsync_ = !software && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window_);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) {
        presentPeriod_ = 1.0 / mode.refresh_rate;
    }
    // Read when textures are created: smooth scaling on the GPU, exact pixels in software.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, software ? "nearest" : "linear");
    SDL_RenderSetLogicalSize(renderer_, screenWidth_, screenHeight_);
    // The game draws its own crosshair.
    SDL_ShowCursor(SDL_DISABLE);
    SDL_SetRelativeMouseMode(SDL_FALSE);
    UpdateGrab();
    return true;
}

void SdlEngine::OpenAudio() {
    if (!useSound_) {
        return;
    }
    if (TryOpenMixer()) {
        return;
    }
    // Sound never stops the game: say so once and carry on with the silent driver.
    System_Log("no sound device could be opened (%s); playing without sound", SDL_GetError());
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    TryOpenMixer();
}

void SdlEngine::System_Shutdown() {
    if (!initiated_) {
        return;
    }
    CloseAll();
    initiated_ = false;
}

void SdlEngine::CloseAll() {
    FreeSounds();
    FreeTextures();
    batchQuads_ = 0;
    if (renderer_ != nullptr) {
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    IMG_Quit();
    SDL_Quit();
}

// ---- the loop ----

bool SdlEngine::System_Start() {
    if (!initiated_) {
        return false;
    }
    for (;;) {
        SkipDrawingUnlessDue();
        if (RunFrame()) {
            break;
        }
        if (suspended_) {
            SDL_WaitEvent(nullptr);
        } else if (!vsync_ && limitFrameRate) {
            LimitFrameRate();
        }
    }
    skipDrawing_ = false;
    return true;
}

bool SdlEngine::RunFrame() {
    if (!initiated_) {
        return true;
    }
    if (frameHook_ != nullptr) {
        frameHook_(hookFrame_++, *this);
    }
    PumpEvents();
    if (quit_) {
        return true;
    }
    if (suspended_) {
        return false;
    }
    UpdateTimer();
    UpdateMouse();
    if (frameFunc_ != nullptr && frameFunc_()) {
        return true;
    }
    if (renderFunc_ != nullptr) {
        renderFunc_();
    }
    return false;
}

void SdlEngine::SkipDrawingUnlessDue() {
    // A frame whose picture would be replaced before the display shows it runs its rules but
    // draws nothing; scripted runs draw every frame.
    const double sincePresent = static_cast<double>(SDL_GetPerformanceCounter() - lastPresent_) /
                                static_cast<double>(SDL_GetPerformanceFrequency());
    skipDrawing_ = limitFrameRate && lastPresent_ != 0 && sincePresent < presentPeriod_;
}

void SdlEngine::LimitFrameRate() {
    const double elapsed = static_cast<double>(SDL_GetPerformanceCounter() - lastCounter_) /
                           static_cast<double>(SDL_GetPerformanceFrequency());
    const double left = kFrameSeconds - elapsed;
    if (left > 0.001) {
        SDL_Delay(static_cast<Uint32>(left * 1000.0));
    }
}

// ---- log and files ----

void SdlEngine::System_Log(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) {
        line[--n] = '\0';
    }
    std::fprintf(stderr, "zombie-shooter: %s\n", line);
}

void* SdlEngine::Resource_Load(const char* filename, std::uint32_t* size) {
    if (size != nullptr) {
        *size = 0;
    }
    char path[PATH_MAX];
    if (filename == nullptr || !FindGameFile(filename, path, sizeof path)) {
        System_Log("cannot open %s: no such file", filename != nullptr ? filename : "(null)");
        return nullptr;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        System_Log("cannot open %s", filename);
        return nullptr;
    }
    void* data = nullptr;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        length = std::ftell(file);
    }
    if (length >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        data = std::malloc(length > 0 ? static_cast<std::size_t>(length) : 1);
    }
    if (data != nullptr && std::fread(data, 1, static_cast<std::size_t>(length), file) !=
                               static_cast<std::size_t>(length)) {
        std::free(data);
        data = nullptr;
    }
    std::fclose(file);
    if (data == nullptr) {
        System_Log("cannot read %s", filename);
        return nullptr;
    }
    if (size != nullptr) {
        *size = static_cast<std::uint32_t>(length);
    }
    return data;
}

void SdlEngine::Resource_Free(void* res) {
    std::free(res);
}

SDL_RWops* SdlEngine::OpenSource(const char* filename, std::uint32_t size) {
    if (filename == nullptr) {
        return nullptr;
    }
    if (size != 0) {
        return SDL_RWFromConstMem(filename, static_cast<int>(size));
    }
    char path[PATH_MAX];
    if (!FindGameFile(filename, path, sizeof path)) {
        System_Log("cannot open %s: no such file", filename);
        return nullptr;
    }
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (rw == nullptr) {
        System_Log("cannot open %s: %s", filename, SDL_GetError());
    }
    return rw;
}

bool SdlEngine::LoadFailed(const void* loaded, const char* filename, std::uint32_t size,
                           const char* why) {
    if (loaded != nullptr) {
        return false;
    }
    System_Log("cannot load %s: %s", size != 0 ? "a file from memory" : filename, why);
    return true;
}

// ---- random numbers ----

void SdlEngine::Random_Seed(int seed) {
    random_.Seed(seed == 0 ? SDL_GetPerformanceCounter() : static_cast<std::uint32_t>(seed));
}

int SdlEngine::Random_Int(int min, int max) {
    return random_.Int(min, max);
}

float SdlEngine::Random_Float(float min, float max) {
    return random_.Float(min, max);
}
