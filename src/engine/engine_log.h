// How every engine says what went wrong: one line on standard error, prefixed with the name of the
// program it runs (which the program gives; the engine knows no game). System_Log is the same for
// the game; the engine's components call these directly.
#pragma once

#include <cstdarg>
#include <cstddef>

// The prefix of every line from now on ("name: ..."); until set, lines have none.
void SetLogName(const char* name);

// One line of log text: formatted, without the newlines a caller may have ended it with.
constexpr std::size_t kLogLineBytes = 1024;
void FormatLogLine(char (&line)[kLogLineBytes], const char* format, va_list args);

void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogLineV(const char* format, va_list args);
// The last line logged, without the prefix ("" before the first).
const char* LastLogLine();
