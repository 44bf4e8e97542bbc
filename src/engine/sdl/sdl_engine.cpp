// Start-up and shutdown, the loop, states, the log, loading, and whether a frame draws; the
// components do the rest.
#include "engine/sdl/sdl_engine.h"

#include <SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/launch.h"
#include "engine/sdl/engine_log.h"
#include "engine/sdl/file_lookup.h"

namespace {

SdlEngine* instance = nullptr;

std::uint64_t Now() {
    return SDL_GetPerformanceCounter();
}

// Opens what a loader reads and hands it over; a load that gives nothing back is one line naming
// the file.
template <class Loader>
std::uint32_t LoadFrom(const EngineOptions& options, const char* filename, std::uint32_t size,
                       Loader load) {
    SDL_RWops* source = OpenGameSource(filename, size, options.dataDir.c_str());
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

SdlEngine::SdlEngine() : clock_(SDL_GetPerformanceFrequency()) {
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

#ifdef ZS_ENGINE_HOOKS
void SdlEngine::SetFrameHook(FrameHook hook) {
    frameHook_ = hook;
    hookFrame_ = 0;
}

bool SdlEngine::Paced() const {
    return limitFrameRate;
}
#else
bool SdlEngine::Paced() const {
    return true;
}
#endif

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

// ---- start-up and shutdown ----

bool SdlEngine::System_Initiate() {
    if (initiated_) {
        return true;
    }
    options_ = EngineOptions::FromEnvironment();
    const bool fullscreen = StartsFullscreen();
    if (!display_.Open(options_, fullscreen, screenWidth_, screenHeight_)) {
        TellWhyNotStarted();
        return false;
    }
    if (display_.RefreshPeriod() > 0.0) {
        clock_.SetPresentPeriod(display_.RefreshPeriod());
    }
    input_.Open(display_.Window(), display_.Renderer(), screenWidth_, screenHeight_, fullscreen);
    if (!batch_.Open(display_.Renderer(), options_.atlas)) {
        CloseAll();
        TellWhyNotStarted();
        return false;
    }
    if (useSound_) {
        audio_.Open();
    }
    clock_.Restart();
    soundPaused_ = false;
    initiated_ = true;
    return true;
}

// The command line wins over the environment, which wins over what the game asks for.
bool SdlEngine::StartsFullscreen() const {
    switch (engineLaunch.window) {
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
void SdlEngine::TellWhyNotStarted() {
#ifdef _WIN32
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Zombie Shooter", LastLogLine(), nullptr);
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

// ---- the loop ----

bool SdlEngine::System_Start() {
    if (!initiated_) {
        return false;
    }
#ifdef __EMSCRIPTEN__
    // The page owns the loop: this returns to the browser and never comes back, so what the game
    // does after its loop (shutting the engine down) happens in EndInBrowser instead.
    emscripten_set_main_loop_arg(BrowserStep, this, 0, true);
#endif
#ifdef ZS_ENGINE_HOOKS
    if (browserLoop) {
        const std::uint64_t picture = SDL_GetPerformanceFrequency() / 60;
        for (std::uint64_t now = Now(); !RunDueFrames(now += picture);) {
        }
        return true;
    }
#endif
    for (;;) {
        if (Paced()) {
            clock_.DecideDrawing(Now());
        } else {
            clock_.DrawEveryFrame();
        }
        if (RunFrame()) {
            break;
        }
        if (input_.Suspended()) {
            SDL_WaitEvent(nullptr);
        } else if (Paced()) {
            WaitForNextFrame();
        }
    }
    clock_.DrawEveryFrame();
    return true;
}

// Even with vsync: the frames that draw nothing would otherwise spin. The standard library's sleep
// is as fine as the system allows (SDL_Delay only sleeps whole milliseconds, so frames would come
// too early); it is asked again if it wakes before the deadline.
void SdlEngine::WaitForNextFrame() {
    clock_.ScheduleNextFrame(Now());
    for (;;) {
        const double left = clock_.SecondsToNextFrame(Now());
        if (left <= 0.0) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::duration<double>(left));
    }
}

bool SdlEngine::RunDueFrames(std::uint64_t now) {
    const int frames = clock_.TakeDueFrames(now);
    for (int i = 0; i < frames; ++i) {
        clock_.DrawThisFrame(i == frames - 1);
        if (RunFrame(clock_.DueFrameStart(i))) {
            return true;
        }
        if (input_.Suspended()) {
            break;
        }
    }
    clock_.DrawEveryFrame();
    return false;
}

#ifdef __EMSCRIPTEN__
void SdlEngine::BrowserStep(void* engine) {
    auto* self = static_cast<SdlEngine*>(engine);
    const bool ended = self->RunDueFrames(Now());
    // What the page and its tests read: frames run and pictures shown so far.
    EM_ASM(
        {
            Module.gameFrames = $0;
            Module.gamePictures = $1;
        },
        self->framesRun_, self->picturesShown_);
    if (ended) {
        self->EndInBrowser();
    }
}

// The sound stops with the loop, and the page says that the game has ended.
void SdlEngine::EndInBrowser() {
    emscripten_cancel_main_loop();
    System_Shutdown();
    EM_ASM({
        if (Module.onGameEnded)
            Module.onGameEnded();
    });
}
#endif

bool SdlEngine::RunFrame(std::uint64_t start) {
    if (!initiated_) {
        return true;
    }
#ifdef ZS_ENGINE_HOOKS
    if (frameHook_ != nullptr) {
        frameHook_(hookFrame_++, *this);
    }
#endif
    input_.Pump();
    // Sound stands still with the game while it is held.
    if (input_.Suspended() != soundPaused_) {
        soundPaused_ = input_.Suspended();
        audio_.SetPaused(soundPaused_);
    }
    if (batch_.RefitTargets(input_.TargetsLost()) && restoreFunc_ != nullptr) {
        restoreFunc_();
    }
    if (input_.QuitAsked()) {
        return true;
    }
    if (input_.Suspended()) {
        return false;
    }
    // The pause is not game time: the frame after it starts the clock afresh.
    if (input_.Resumed()) {
        clock_.Restart();
    }
    clock_.StartFrame(start != 0 ? start : Now());
    ++framesRun_;
    audio_.StartFrame();
    input_.UpdateMouse(clock_.Delta());
    if (frameFunc_ != nullptr && frameFunc_()) {
        return true;
    }
    if (renderFunc_ != nullptr) {
        renderFunc_();
    }
    return false;
}

// ---- drawing ----

bool SdlEngine::Gfx_BeginScene(HTARGET target) {
    if (!initiated_) {
        return false;
    }
    if (target != 0 && clock_.SkipsDrawing()) {
        return false;
    }
    batch_.Begin();
    targetScene_ = target != 0;
    if (!batch_.DrawInto(target)) {
        targetScene_ = false;
        return false;
    }
#ifdef ZS_ENGINE_HOOKS
    targetScenes += targetScene_ ? 1 : 0;
#endif
    return true;
}

void SdlEngine::Gfx_EndScene() {
    if (targetScene_) {
        batch_.DrawInto(0);
        targetScene_ = false;
        return;
    }
    if (!Drawing()) {
        return;
    }
    batch_.Flush();
    input_.DrawTouch();
    SDL_RenderPresent(display_.Renderer());
    ++picturesShown_;
    clock_.Presented(Now());
}

void SdlEngine::Gfx_Clear(std::uint32_t color) {
    if (Drawing()) {
        batch_.Clear(color);
    }
}

void SdlEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (Drawing() && quad != nullptr) {
#ifdef ZS_ENGINE_HOOKS
        targetQuads += targetScene_ ? 1 : 0;
#endif
        batch_.Add(*quad);
    }
}

HTARGET SdlEngine::Target_Create(int width, int height, bool) {
#ifdef ZS_ENGINE_HOOKS
    if (refuseTargets) {
        return 0;
    }
#endif
    if (!initiated_) {
        return 0;
    }
    const HTARGET target = batch_.CreateTarget(width, height);
    if (target == 0) {
        System_Log("cannot create a render target: %s", SDL_GetError());
    }
    return target;
}

void SdlEngine::Target_Free(HTARGET target) {
    if (batch_.IsTarget(target)) {
        batch_.Free(target);
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
    return ReadGameFile(filename, options_.dataDir.c_str(), size);
}

void SdlEngine::Resource_Free(void* res) {
    std::free(res);
}

HTEXTURE SdlEngine::Texture_Load(const char* filename, std::uint32_t size, bool) {
    if (!initiated_) {
        System_Log("cannot load %s: the engine is not initiated", filename);
        return 0;
    }
    return LoadFrom(options_, filename, size,
                    [this](SDL_RWops* source) { return batch_.Load(source); });
}

HEFFECT SdlEngine::Effect_Load(const char* filename, std::uint32_t size) {
    if (!audio_.IsOpen()) {
        return 0;  // sound is off; nothing would play it
    }
    return LoadFrom(options_, filename, size,
                    [this](SDL_RWops* source) { return audio_.LoadEffect(source); });
}

HSTREAM SdlEngine::Stream_Load(const char* filename, std::uint32_t size) {
    if (!audio_.IsOpen()) {
        return 0;
    }
    return LoadFrom(options_, filename, size,
                    [this](SDL_RWops* source) { return audio_.LoadStream(source); });
}

void SdlEngine::Random_Seed(int seed) {
    random_.Seed(seed == 0 ? Now() : static_cast<std::uint32_t>(seed));
}
