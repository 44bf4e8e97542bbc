// How the engine says what went wrong: one line on standard error, prefixed with the game's name.
// System_Log is the same for the game; the engine's components call these directly.
#pragma once

#include <cstdarg>

void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogLineV(const char* format, va_list args);
// The last line logged, without the prefix ("" before the first).
const char* LastLogLine();
