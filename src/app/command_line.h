// The few options a player or a packager expects of a program started from a terminal. With no
// arguments the program is the game, exactly as always; the window options only pass a choice on
// to the engine (engine/launch.h).
#pragma once

#include <string>

#include "engine/launch.h"
#include "engine/replay/replay_engine.h"

// Exit statuses besides the game's own 0.
constexpr int kExitCannotStart = 1;  // the engine could not start (no display, say)
constexpr int kExitMisuse = 2;       // an option the program does not know, or one misused

struct CommandLine {
    enum class Action { kPlay, kHelp, kVersion, kMisuse };
    Action action = Action::kPlay;
    WindowChoice window = WindowChoice::kAsAsked;
    ReplayMode replay = ReplayMode::kOff;
    std::string replayFile;  // what --record, --replay or --verify named
    std::string problem;     // kMisuse: what was wrong, said in the usage line
};

// Reads argv[1..argc-1]. The first option that is not understood makes the whole line kMisuse,
// so a typo never starts a game the player did not ask for.
CommandLine ParseCommandLine(int argc, const char* const argv[]);

// The program: the options read, then help, the version, a usage line on standard error or the
// game, recorded or replayed when asked. Returns the process's exit status: the game's, or for a
// replay 1 when it played differently and 2 when its file cannot be used.
int RunCommandLine(int argc, const char* const argv[]);
