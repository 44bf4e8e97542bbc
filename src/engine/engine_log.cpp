#include "engine/engine_log.h"

#include <cstdio>
#include <cstring>

namespace {

char logName[64];
char lastLine[kLogLineBytes];

}  // namespace

void SetLogName(const char* name) {
    std::snprintf(logName, sizeof logName, "%s", name != nullptr ? name : "");
}

void FormatLogLine(char (&line)[kLogLineBytes], const char* format, va_list args) {
    std::vsnprintf(line, sizeof line, format, args);
    std::size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) {
        line[--n] = '\0';
    }
}

void LogLineV(const char* format, va_list args) {
    FormatLogLine(lastLine, format, args);
    if (logName[0] != '\0') {
        std::fprintf(stderr, "%s: %s\n", logName, lastLine);
    } else {
        std::fprintf(stderr, "%s\n", lastLine);
    }
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
