// The few options a player or a packager expects of a program started from a terminal, and the
// engine the program runs the game on, chosen here: the platform's own, the replay around it, or
// the replay around the headless engine. With no arguments the program is the game, exactly as
// always; the window options only pass a choice on to the platform's engine.
#pragma once

#include <string>

#include "engine/hge.h"
#include "engine/launch.h"
#include "engine/replay/replay_engine.h"

// The program's name, in every line it prints, and its title, on its window.
inline constexpr char kGameName[] = "zombie-shooter";
inline constexpr char kGameTitle[] = "Zombie Shooter";

// Exit status for an option the program does not know, or one misused (the game's own are in
// startup.h).
constexpr int kExitMisuse = 2;

struct CommandLine {
    enum class Action { kPlay, kRecord, kReplay, kVerify, kHelp, kVersion, kMisuse };
    Action action = Action::kPlay;
    WindowChoice window = WindowChoice::kAsAsked;
    std::string replayFile;  // what --record, --replay or --verify named
    std::string problem;     // kMisuse: what was wrong, said in the usage line
};

// The engines a program has to offer. Each gives one more reference to its one engine.
struct ProgramEngines {
    // The platform's (a window, sound, input); null in a program without one.
    HGE* (*platform)(const EngineLaunch& launch);
    // No window and no sound: what --verify checks a replay on.
    HGE* (*headless)();
};

// Reads argv[1..argc-1]. The first option that is not understood makes the whole line kMisuse,
// so a typo never starts a game the player did not ask for.
CommandLine ParseCommandLine(int argc, const char* const argv[]);

// The program: the options read, then help, the version, a usage line on standard error or the
// game on the engine the line asks for, recorded or replayed when asked. Returns the process's
// exit status: the game's, or for a replay 1 when it played differently and 2 when its file
// cannot be used.
int RunCommandLine(int argc, const char* const argv[], const ProgramEngines& engines);
