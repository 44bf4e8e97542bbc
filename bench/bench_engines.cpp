#include "bench_engines.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <string>

#include "engine/engine_choice.h"
#include "engine/headless/headless_engine.h"
#include "engine/sdl/file_lookup.h"
#include "engine/sdl/options.h"
#include "engine/sdl/sdl_engine.h"
#include "support/alloc_counter.h"

namespace {

// The headless engine reads the game's files where the SDL engine finds them, so the sprites and
// the font are cut exactly as in the game.
class GameFiles final : public HeadlessEngine::Files {
  public:
    void* Read(const char* filename, std::uint32_t* size) override {
        return ReadGameFile(filename, DataDir(), nullptr, size);
    }
    bool ImageSize(const char* filename, int* width, int* height) override {
        char path[PATH_MAX];
        FindGameFile(filename, DataDir(), nullptr, path, sizeof path);
        SDL_Surface* image = IMG_Load(path);
        if (image == nullptr) {
            return false;
        }
        *width = image->w;
        *height = image->h;
        SDL_FreeSurface(image);
        return true;
    }

  private:
    static const char* DataDir() {
        static const std::string dir = EngineOptions::FromEnvironment().dataDir;
        return dir.c_str();
    }
};

GameFiles gameFiles;

// The benchmark runs the game on its own engine.
[[maybe_unused]] const bool chosen = (ChooseEngine(BenchEngine::Acquire), true);

}  // namespace

BenchEngine& BenchEngine::Get() {
    static BenchEngine bench;
    return bench;
}

HGE* BenchEngine::Acquire() {
    BenchEngine& bench = Get();
    if (bench.kind_ == EngineKind::kSdl) {
        bench.SetInner(SdlEngine::Acquire());
    } else {
        HeadlessEngine::Get().UseFiles(&gameFiles);
        bench.SetInner(HeadlessEngine::Acquire());
    }
    return &bench;
}

void BenchEngine::Use(EngineKind kind, std::function<void()> measure) {
    kind_ = kind;
    texturePaths_.clear();
    measure_ = std::move(measure);
    HeadlessEngine::Get().quads = 0;
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
    int& counted = kind_ == EngineKind::kSdl ? SdlEngine::Instance()->Batch().quadsDrawn
                                             : HeadlessEngine::Get().quads;
    const long quads = counted;
    counted = 0;
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

void BenchEngine::System_SetStateFunc(hgeFuncState state, hgeCallback value) {
    if (state == HGE_FRAMEFUNC) {
        frameFunc_ = value;
    } else if (state == HGE_RENDERFUNC) {
        renderFunc_ = value;
    }
    ForwardingEngine::System_SetStateFunc(state, value);
}

float BenchEngine::Timer_GetDelta() {
    ForwardingEngine::Timer_GetDelta();
    return kFrameDelta;
}

void BenchEngine::Input_GetMousePos(float* x, float* y) {
    ForwardingEngine::Input_GetMousePos(x, y);
    *x = kMouseX;
    *y = kMouseY;
}

HTEXTURE BenchEngine::Texture_Load(const char* filename, std::uint32_t size, bool mipmap) {
    const HTEXTURE tex = ForwardingEngine::Texture_Load(filename, size, mipmap);
    if (tex != 0 && filename != nullptr) {
        char path[PATH_MAX];
        FindGameFile(filename, EngineOptions::FromEnvironment().dataDir.c_str(), nullptr, path,
                     sizeof path);
        texturePaths_.resize(std::max<std::size_t>(texturePaths_.size(), tex));
        texturePaths_[tex - 1] = path;
    }
    return tex;
}

const std::string& BenchEngine::TexturePath(HTEXTURE tex) const {
    static const std::string none;
    return tex == 0 || tex > texturePaths_.size() ? none : texturePaths_[tex - 1];
}

void BenchEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (captured != nullptr) {
        captured->push_back(*quad);
    }
    ForwardingEngine::Gfx_RenderQuad(quad);
}

void BenchEngine::Gfx_RenderQuads(const hgeQuad* quads, int count) {
    if (captured != nullptr) {
        captured->insert(captured->end(), quads, quads + count);
    }
    ForwardingEngine::Gfx_RenderQuads(quads, count);
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
    ForwardingEngine::Gfx_EndScene();
}
