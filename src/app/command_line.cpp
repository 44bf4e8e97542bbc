#include "app/command_line.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/about_text.h"
#include "app/outcome.h"
#include "app/startup.h"
#include "app/weapon_bar.h"
#include "engine/engine_choice.h"
#include "engine/engine_log.h"

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

CommandLine::Action ReplayOption(const char* arg) {
    using Action = CommandLine::Action;
    return std::strcmp(arg, "--record") == 0   ? Action::kRecord
           : std::strcmp(arg, "--replay") == 0 ? Action::kReplay
           : std::strcmp(arg, "--verify") == 0 ? Action::kVerify
                                               : Action::kPlay;
}

// The engine hgeCreate hands out is composed from these, which live as long as the process:
// sprites and fonts keep the engine they were made with and give it back when freed, which may
// come after the game has ended. A new game (the tests play several in one process) replaces
// them once the game that used them has gone.
ProgramEngines engines{};
EngineLaunch launch;
std::unique_ptr<ReplayEngine> replaySession;

HGE* Platform() {
    return engines.platform(launch);
}

HGE* ReplayAroundPlatform() {
    return replaySession->Around(Platform());
}

HGE* ReplayAroundHeadless() {
    return replaySession->Around(engines.headless());
}

// The game recorded or played back: a file that cannot be used is one line and status 2, before
// any window opens.
int PlayReplay(const CommandLine& line) {
    using Action = CommandLine::Action;
    const replay::Mode mode = line.action == Action::kRecord   ? replay::Mode::kRecord
                              : line.action == Action::kReplay ? replay::Mode::kReplay
                                                               : replay::Mode::kVerify;
    const bool headless = mode == replay::Mode::kVerify || engines.platform == nullptr;
    replaySession = std::make_unique<ReplayEngine>(mode, line.replayFile.c_str(),
                                                   ReplayedGame(kGameName, kGameVersion));
    std::string problem;
    if (!replaySession->Begin(&problem)) {
        std::fprintf(stderr, "%s: cannot %s %s: %s\n", kGameName,
                     mode == replay::Mode::kRecord ? "record to" : "play back",
                     line.replayFile.c_str(), problem.c_str());
        return kExitMisuse;
    }
    ChooseEngine(headless ? ReplayAroundHeadless : ReplayAroundPlatform);
    const int status = RunGame();
    const int replayStatus = replaySession->End();
    return status != 0 ? status : replayStatus;
}

// A tap on the weapon slot presses the key of the other weapon, 1 or 2 in turn.
TouchLayout GameTouchLayout() {
    TouchLayout touch;
    touch.cycle = {kWeaponSlotLeft,   kWeaponSlotTop,   kWeaponSlotRight,
                   kWeaponSlotBottom, {HGEK_1, HGEK_2}, 2};
    return touch;
}

int Play(const CommandLine& line) {
    launch = EngineLaunch{kGameName, kGameTitle, line.window, GameTouchLayout()};
    if (line.action != CommandLine::Action::kPlay) {
        return PlayReplay(line);
    }
    if (engines.platform == nullptr) {
        std::fprintf(stderr, "%s: this program only checks replays (--verify FILE)\n", kGameName);
        return kExitMisuse;
    }
    ChooseEngine(Platform);
    return RunGame();
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const argv[]) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (EndsTheLine(arg, &line)) {
            return line;
        }
        const CommandLine::Action replay = ReplayOption(arg);
        if (replay != CommandLine::Action::kPlay) {
            if (line.action != CommandLine::Action::kPlay) {
                return Misuse("only one of --record, --replay and --verify");
            }
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                return Misuse(std::string(arg) + " needs a file");
            }
            line.action = replay;
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

int RunCommandLine(int argc, const char* const argv[], const ProgramEngines& offered) {
    SetLogName(kGameName);
    const CommandLine line = ParseCommandLine(argc, argv);
    switch (line.action) {
        case CommandLine::Action::kHelp:
            std::fputs(kAboutHelp, stdout);
            return 0;
        case CommandLine::Action::kVersion:
            std::printf("%s %s\n", kGameName, kGameVersion);
            return 0;
        case CommandLine::Action::kMisuse:
            std::fprintf(stderr, "%s: %s; usage: %s (--help for more)\n", kGameName,
                         line.problem.c_str(), kAboutUsage);
            return kExitMisuse;
        default:
            break;
    }
    engines = offered;
    return Play(line);
}
