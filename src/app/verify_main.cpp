// zombie-shooter-verify FILE: what `zombie-shooter --verify FILE` does, in a program with no
// window, sound or platform library behind it.
#include <cstdio>

#include "app/command_line.h"
#include "engine/headless/headless_engine.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: zombie-shooter-verify FILE\n", stderr);
        return kExitMisuse;
    }
    const char* args[] = {argv[0], "--verify", argv[1], nullptr};
    return RunCommandLine(3, args, ProgramEngines{nullptr, HeadlessEngine::Acquire});
}
