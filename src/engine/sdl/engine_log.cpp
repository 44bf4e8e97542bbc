#include "engine/sdl/engine_log.h"

#include <cstdio>
#include <cstring>

namespace {

char lastLine[1024];

}  // namespace

void LogLineV(const char* format, va_list args) {
    std::vsnprintf(lastLine, sizeof lastLine, format, args);
    std::size_t n = std::strlen(lastLine);
    while (n > 0 && (lastLine[n - 1] == '\n' || lastLine[n - 1] == '\r')) {
        lastLine[--n] = '\0';
    }
    std::fprintf(stderr, "zombie-shooter: %s\n", lastLine);
}

void LogLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogLineV(format, args);
    va_end(args);
}

const char* LastLogLine() {
    return lastLine;
}
