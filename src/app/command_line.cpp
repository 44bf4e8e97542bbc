#include "app/command_line.h"

#include <cstdio>
#include <cstring>

#include "app/about_text.h"
#include "app/outcome.h"
#include "app/startup.h"

namespace {

CommandLine Misuse(const std::string& problem) {
    CommandLine line;
    line.action = CommandLine::Action::kMisuse;
    line.problem = problem;
    return line;
}

// Help and the version end the line at once, whatever follows.
bool EndsTheLine(const char* arg, CommandLine* line) {
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
        line->action = CommandLine::Action::kHelp;
        return true;
    }
    if (std::strcmp(arg, "--version") == 0) {
        line->action = CommandLine::Action::kVersion;
        return true;
    }
    return false;
}

ReplayMode ReplayOption(const char* arg) {
    return std::strcmp(arg, "--record") == 0   ? ReplayMode::kRecord
           : std::strcmp(arg, "--replay") == 0 ? ReplayMode::kReplay
           : std::strcmp(arg, "--verify") == 0 ? ReplayMode::kVerify
                                               : ReplayMode::kOff;
}

// The game, recorded or played back when asked: a file that cannot be used is one line and
// status 2, before any window opens.
int PlayAsAsked(const CommandLine& line) {
    if (line.replay == ReplayMode::kOff) {
        return RunGame();
    }
    std::string problem;
    if (!BeginReplay(line.replay, line.replayFile.c_str(), kGameVersion, ProbeOutcome, &problem)) {
        std::fprintf(stderr, "zombie-shooter: cannot %s %s: %s\n",
                     line.replay == ReplayMode::kRecord ? "record to" : "play back",
                     line.replayFile.c_str(), problem.c_str());
        return kExitMisuse;
    }
    const int status = RunGame();
    const int replayStatus = EndReplay();
    return status != 0 ? status : replayStatus;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const argv[]) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (EndsTheLine(arg, &line)) {
            return line;
        }
        const ReplayMode replay = ReplayOption(arg);
        if (replay != ReplayMode::kOff) {
            if (line.replay != ReplayMode::kOff) {
                return Misuse("only one of --record, --replay and --verify");
            }
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                return Misuse(std::string(arg) + " needs a file");
            }
            line.replay = replay;
            line.replayFile = argv[++i];
            continue;
        }
        WindowChoice window = WindowChoice::kAsAsked;
        if (std::strcmp(arg, "--windowed") == 0) {
            window = WindowChoice::kWindowed;
        } else if (std::strcmp(arg, "--fullscreen") == 0) {
            window = WindowChoice::kFullscreen;
        } else {
            return Misuse(std::string("unknown option '") + arg + "'");
        }
        if (line.window != WindowChoice::kAsAsked && line.window != window) {
            return Misuse("--windowed and --fullscreen together");
        }
        line.window = window;
    }
    return line;
}

int RunCommandLine(int argc, const char* const argv[]) {
    const CommandLine line = ParseCommandLine(argc, argv);
    switch (line.action) {
        case CommandLine::Action::kHelp:
            std::fputs(kAboutHelp, stdout);
            return 0;
        case CommandLine::Action::kVersion:
            std::printf("zombie-shooter %s\n", kGameVersion);
            return 0;
        case CommandLine::Action::kMisuse:
            std::fprintf(stderr, "zombie-shooter: %s; usage: %s (--help for more)\n",
                         line.problem.c_str(), kAboutUsage);
            return kExitMisuse;
        case CommandLine::Action::kPlay:
            break;
    }
    engineLaunch.window = line.window;
    return PlayAsAsked(line);
}
