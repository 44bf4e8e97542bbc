#include "engine/headless/headless_engine.h"

#include <cstdlib>
#include <cstring>

#include "engine/engine_log.h"

namespace {

// Microseconds: the loop's counter here is only ever the one it advances itself.
constexpr std::uint64_t kTicksPerSecond = 1000000;
constexpr std::uint64_t kTicksPerFrame = kTicksPerSecond / 500;

}  // namespace

HeadlessEngine::HeadlessEngine() : loop_(kTicksPerSecond, 1) {}

HeadlessEngine& HeadlessEngine::Get() {
    static HeadlessEngine* engine = new HeadlessEngine();
    return *engine;
}

HGE* HeadlessEngine::Acquire() {
    HeadlessEngine& engine = Get();
    ++engine.refs_;
    return &engine;
}

void HeadlessEngine::System_SetStateFunc(hgeFuncState state, hgeCallback value) {
    if (state == HGE_FRAMEFUNC) {
        frameFunc_ = value;
    } else if (state == HGE_RENDERFUNC) {
        renderFunc_ = value;
    }
}

bool HeadlessEngine::System_Start() {
    // One frame a step, each on the grid: the frames of a real run, without the waiting.
    loop_.RunOnOwnClock(*this, kTicksPerFrame, kTicksPerFrame);
    return true;
}

bool HeadlessEngine::RunFrame(std::uint64_t start, bool) {
    loop_.Clock().StartFrame(start);
    if (frameFunc_ != nullptr && frameFunc_()) {
        return true;
    }
    if (renderFunc_ != nullptr) {
        renderFunc_();
    }
    return frameFunc_ == nullptr;  // a game with no frame callback has nothing to run
}

void HeadlessEngine::System_Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogLineV(format, args);
    va_end(args);
}

void* HeadlessEngine::Resource_Load(const char* filename, std::uint32_t* size) {
    if (files_ != nullptr) {
        return files_->Read(filename, size);
    }
    static const char kEmptyFont[] = "[HGEFONT]\n";
    if (size != nullptr) {
        *size = sizeof kEmptyFont - 1;
    }
    void* copy = std::malloc(sizeof kEmptyFont);
    if (copy != nullptr) {
        std::memcpy(copy, kEmptyFont, sizeof kEmptyFont);
    }
    return copy;
}

void HeadlessEngine::Resource_Free(void* res) {
    std::free(res);
}

HTEXTURE HeadlessEngine::Texture_Load(const char* filename, std::uint32_t, bool) {
    Size size{64, 64};
    if (files_ != nullptr && !files_->ImageSize(filename, &size.width, &size.height)) {
        System_Log("cannot load %s", filename);
        return 0;
    }
    textures_.push_back(size);
    return static_cast<HTEXTURE>(textures_.size());
}

int HeadlessEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    return tex == 0 || tex > textures_.size() ? 0 : textures_[tex - 1].width;
}

int HeadlessEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    return tex == 0 || tex > textures_.size() ? 0 : textures_[tex - 1].height;
}

void HeadlessEngine::Random_Seed(int seed) {
    // No clock to seed from is needed: a headless run is the same run every time.
    random_.Seed(static_cast<std::uint32_t>(seed));
}
