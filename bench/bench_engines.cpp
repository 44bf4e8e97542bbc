#include "bench_engines.h"

#include <SDL.h>
#include <SDL_image.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/replay/replay_engine.h"
#include "engine/sdl/file_lookup.h"
#include "engine/sdl/options.h"
#include "engine/sdl/sdl_engine.h"
#include "support/alloc_counter.h"

namespace {

// The null engine finds the game's files where the SDL engine does.
const char* DataDir() {
    static const std::string dir = EngineOptions::FromEnvironment().dataDir;
    return dir.c_str();
}

}  // namespace

HGE* hgeCreate(int) {
    BenchEngine& bench = BenchEngine::Get();
    bench.AcquireTarget();
    return WrapForReplay(&bench);  // the bench engine itself unless a recording runs
}

// ---- the null engine ----

void NullEngine::System_Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

void* NullEngine::Resource_Load(const char* filename, std::uint32_t* size) {
    return ReadGameFile(filename, DataDir(), size);
}

void NullEngine::Resource_Free(void* res) {
    std::free(res);
}

HTEXTURE NullEngine::Texture_Load(const char* filename, std::uint32_t, bool) {
    char path[PATH_MAX];
    FindGameFile(filename, DataDir(), path, sizeof path);
    SDL_Surface* image = IMG_Load(path);
    if (image == nullptr) {
        System_Log("cannot load %s: %s", filename, IMG_GetError());
        return 0;
    }
    textures_.push_back(Size{image->w, image->h, path});
    SDL_FreeSurface(image);
    return static_cast<HTEXTURE>(textures_.size());
}

int NullEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    return tex == 0 || tex > textures_.size() ? 0 : textures_[tex - 1].w;
}

int NullEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    return tex == 0 || tex > textures_.size() ? 0 : textures_[tex - 1].h;
}

const std::string& NullEngine::TexturePath(HTEXTURE tex) const {
    static const std::string none;
    return tex == 0 || tex > textures_.size() ? none : textures_[tex - 1].path;
}

void NullEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    ++quads;
    if (captured != nullptr) {
        captured->push_back(*quad);
    }
}

std::uint32_t NullEngine::NextRandom() {
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return random_;
}

int NullEngine::Random_Int(int min, int max) {
    if (max <= min) {
        return min;
    }
    return min + static_cast<int>(NextRandom() % static_cast<std::uint32_t>(max - min + 1));
}

float NullEngine::Random_Float(float min, float max) {
    return min + (max - min) * static_cast<float>(NextRandom() >> 8) / 16777216.0f;
}

// ---- the forwarding engine ----

BenchEngine& BenchEngine::Get() {
    static BenchEngine bench;
    return bench;
}

void BenchEngine::Use(EngineKind kind, std::function<void()> measure) {
    kind_ = kind;
    measure_ = std::move(measure);
    target_ = nullptr;
    null_.quads = 0;
}

void BenchEngine::AcquireTarget() {
    if (kind_ == EngineKind::kSdl) {
        target_ = SdlEngine::Acquire();
    } else {
        null_.Acquire();
        target_ = &null_;
    }
}

void BenchEngine::RunFrame() {
    if (kind_ == EngineKind::kSdl) {
        SdlEngine::Instance()->RunFrame();
        return;
    }
    if (frameFunc_ != nullptr) {
        frameFunc_();
    }
    if (renderFunc_ != nullptr) {
        renderFunc_();
    }
}

long BenchEngine::TakeQuads() {
    long quads = null_.quads;
    null_.quads = 0;
    if (kind_ == EngineKind::kSdl) {
        quads = SdlEngine::Instance()->Batch().quadsDrawn;
        SdlEngine::Instance()->Batch().quadsDrawn = 0;
    }
    return quads;
}

long BenchEngine::TakeDrawCalls() {
    if (kind_ != EngineKind::kSdl) {
        return 0;
    }
    const long calls = SdlEngine::Instance()->Batch().geometryCalls;
    SdlEngine::Instance()->Batch().geometryCalls = 0;
    return calls;
}

bool BenchEngine::System_Start() {
    // The game has started for real; instead of playing, the benchmark measures.
    if (measure_) {
        measure_();
    }
    return true;
}

void BenchEngine::System_SetStateBool(hgeBoolState state, bool value) {
    target_->System_SetStateBool(state, value);
}

void BenchEngine::System_SetStateFunc(hgeFuncState state, hgeCallback value) {
    if (state == HGE_FRAMEFUNC) {
        frameFunc_ = value;
    } else if (state == HGE_RENDERFUNC) {
        renderFunc_ = value;
    }
    target_->System_SetStateFunc(state, value);
}

void BenchEngine::System_SetStateInt(hgeIntState state, int value) {
    target_->System_SetStateInt(state, value);
}

void BenchEngine::System_Log(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    target_->System_Log("%s", line);
}

void* BenchEngine::Resource_Load(const char* filename, std::uint32_t* size) {
    return target_->Resource_Load(filename, size);
}

HTEXTURE BenchEngine::Texture_Load(const char* filename, std::uint32_t size, bool bMipmap) {
    return target_->Texture_Load(filename, size, bMipmap);
}

int BenchEngine::Texture_GetWidth(HTEXTURE tex, bool original) {
    return target_->Texture_GetWidth(tex, original);
}

int BenchEngine::Texture_GetHeight(HTEXTURE tex, bool original) {
    return target_->Texture_GetHeight(tex, original);
}

HEFFECT BenchEngine::Effect_Load(const char* filename, std::uint32_t size) {
    return target_->Effect_Load(filename, size);
}

HCHANNEL BenchEngine::Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) {
    return target_->Effect_PlayEx(eff, volume, pan, pitch, loop);
}

HSTREAM BenchEngine::Stream_Load(const char* filename, std::uint32_t size) {
    return target_->Stream_Load(filename, size);
}

HCHANNEL BenchEngine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    return target_->Stream_Play(stream, loop, volume);
}

float BenchEngine::Random_Float(float min, float max) {
    return target_->Random_Float(min, max);
}

float BenchEngine::Timer_GetDelta() {
    target_->Timer_GetDelta();
    return kFrameDelta;
}

void BenchEngine::Input_GetMousePos(float* x, float* y) {
    target_->Input_GetMousePos(x, y);
    *x = kMouseX;
    *y = kMouseY;
}

void BenchEngine::Gfx_EndScene() {
    if (readBackEachFrame && kind_ == EngineKind::kSdl) {
        SdlEngine* sdl = SdlEngine::Instance();
        sdl->Batch().Flush();
        const std::uint64_t before = test::AllocationCount();
        SDL_Rect one{400, 300, 1, 1};
        SDL_RenderReadPixels(sdl->Renderer(), &one, SDL_PIXELFORMAT_ARGB8888, &lastPixel, 4);
        readBackAllocations += test::AllocationCount() - before;
    }
    target_->Gfx_EndScene();
}
