#include "app/command_line.h"

#include <cstdio>
#include <cstring>

#include "app/about_text.h"
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

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const argv[]) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (EndsTheLine(arg, &line)) {
            return line;
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
    return RunGame();
}
