// zombie-shooter-pace: the game as shipped (RunGame) on the engine built with its hooks, left to
// play on its own for a number of seconds (the argument, default 10), then quit. It prints how
// often the loop ran a frame and presented a picture, and the CPU time of the whole process (the
// renderer's threads included) and of the game's own thread, each as a share of one core.
// Presents are counted by standing in front of SDL_RenderPresent, so the figures mean the same
// for any version of the engine. Run it in the X server to be measured (bench/README.md).
#include <SDL.h>
#include <dlfcn.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/startup.h"
#include "engine/hge.h"
#include "engine/sdl/sdl_engine.h"
#include "support/sdl_hooks.h"

namespace {

double seconds = 10.0;
long presents = 0;
double presentSeconds = 0.0;
int firstFrame = -1;
std::chrono::steady_clock::time_point start;
double threadStart = 0.0;
double processStart = 0.0;

double ThreadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double ProcessCpu() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto add = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return add(u.ru_utime) + add(u.ru_stime);
}

// Measures from the first frame after start-up to the last.
void Measure(int frame, SdlEngine&) {
    const auto now = std::chrono::steady_clock::now();
    if (firstFrame < 0) {
        firstFrame = frame;
        start = now;
        threadStart = ThreadCpu();
        processStart = ProcessCpu();
        presents = 0;
        presentSeconds = 0.0;
        return;
    }
    const double elapsed = std::chrono::duration<double>(now - start).count();
    if (elapsed < seconds) {
        return;
    }
    std::printf(
        "%.1f s: %.1f frames/s, %.1f presents/s (%.2f ms each), process %.1f %% of a "
        "core, game thread %.1f %%\n",
        elapsed, (frame - firstFrame) / elapsed, static_cast<double>(presents) / elapsed,
        1000.0 * presentSeconds / static_cast<double>(presents),
        100.0 * (ProcessCpu() - processStart) / elapsed,
        100.0 * (ThreadCpu() - threadStart) / elapsed);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    seconds = 1e9;
}

}  // namespace

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    using Present = void (*)(SDL_Renderer*);
    static const auto real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    ++presents;
    const auto before = std::chrono::steady_clock::now();
    real(renderer);
    presentSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
}

int main(int argc, char** argv) {
    if (argc > 1) {
        seconds = std::atof(argv[1]);
    }
    HGE* hge = hgeCreate(HGE_VERSION);
    SdlHooks::Get().SetFrameHook(Measure);
    const int status = RunGame();
    hge->Release();
    return status;
}
