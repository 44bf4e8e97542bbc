// The platform's entry: the arguments as UTF-8, then the program (command_line.h) with the
// engines this program has: SDL's, and the headless one for --verify.
#include "app/command_line.h"
#include "engine/headless/headless_engine.h"
#include "engine/sdl/sdl_engine.h"

namespace {

HGE* SdlPlatform(const EngineLaunch& launch) {
    HGE* engine = SdlEngine::Acquire();
    SdlEngine::Instance()->SetLaunch(launch);
    return engine;
}

constexpr ProgramEngines kEngines{SdlPlatform, HeadlessEngine::Acquire};

}  // namespace

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A GUI program has no console of its own. Started from cmd or PowerShell, its lines belong in
// that console; a stream the caller redirected (`2> log.txt`) is kept as it is.
void UseTheParentConsole() {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    const auto unset = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE;
    };
    if (unset(STD_OUTPUT_HANDLE)) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (unset(STD_ERROR_HANDLE)) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

std::string Utf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) {
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    }
    return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    UseTheParentConsole();
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; wide != nullptr && i < argc; ++i) {
        args.push_back(Utf8(wide[i]));
    }
    LocalFree(wide);
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    argv.push_back(nullptr);
    return RunCommandLine(static_cast<int>(args.size()), argv.data(), kEngines);
}
#else
int main(int argc, char** argv) {
    return RunCommandLine(argc, argv, kEngines);
}
#endif
