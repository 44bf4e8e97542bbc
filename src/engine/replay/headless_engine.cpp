#include "engine/replay/headless_engine.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

HGE* HeadlessEngine::Acquire() {
    static HeadlessEngine* engine = nullptr;
    if (engine == nullptr) {
        engine = new HeadlessEngine();
    }
    ++engine->refs_;
    return engine;
}

void HeadlessEngine::Release() {
    --refs_;
}

void HeadlessEngine::System_Log(const char* format, ...) {
    std::fputs("zombie-shooter: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

void* HeadlessEngine::Resource_Load(const char*, std::uint32_t* size) {
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
