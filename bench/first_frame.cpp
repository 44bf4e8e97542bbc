// zombie-shooter-first-frame: the game as shipped (RunGame, as src/app/main.cpp calls it) on the
// engine built with its hooks, for BM_Startup. Once its first frame is on screen it writes one
// byte to the file descriptor given as its argument and quits.
#include <SDL.h>
#include <unistd.h>

#include <cstdlib>

#include "app/startup.h"
#include "engine/hge.h"
#include "engine/sdl/sdl_engine.h"
#include "support/sdl_hooks.h"

namespace {

int reportFd = -1;

// Runs before each frame; frame 0 was presented once anything was drawn.
void ReportFirstFrame(int, SdlEngine& engine) {
    if (reportFd < 0 || engine.Batch().quadsDrawn == 0) {
        return;
    }
    const char presented = 'F';
    const bool written = write(reportFd, &presented, 1) == 1;
    close(reportFd);
    reportFd = -1;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    if (!written) {
        engine.System_Log("cannot report the first frame");
    }
}

}  // namespace

int main(int argc, char** argv) {
    reportFd = argc > 1 ? std::atoi(argv[1]) : -1;
    // Our own reference keeps the engine alive across RunGame, so the hook goes in first.
    HGE* hge = hgeCreate(HGE_VERSION);
    SdlHooks::Get().SetFrameHook(ReportFirstFrame);
    const int status = RunGame();
    hge->Release();
    return status;
}
