#include "engine/sdl/engine_log.h"

#include <cstdio>
#include <cstring>

void LogLineV(const char* format, va_list args) {
    char line[1024];
    std::vsnprintf(line, sizeof line, format, args);
    std::size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) {
        line[--n] = '\0';
    }
    std::fprintf(stderr, "zombie-shooter: %s\n", line);
}

void LogLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogLineV(format, args);
    va_end(args);
}
