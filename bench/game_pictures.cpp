// zombie-shooter-pictures: what each picture of a real game costs on this machine's renderer.
//   zombie-shooter-pictures replay FILE   a recorded game, played back as recorded
//   zombie-shooter-pictures full-load [PICTURES [EVERY]]   every pool full, a new mark placed
//       every EVERY frames (default 4; 0: none, the quiet layer), 3600 pictures unless told
// The game runs on the SDL engine (with the tests' hooks) in an 800x600 window on offscreen
// OpenGL (Mesa's llvmpipe where there is no GPU), on the browser's loop with a clock of its own:
// each step is one 60 Hz animation frame, its 2 ms frames run and its last one shown, as fast as
// the steps run. The time of a step, from its first frame to the end of its present, is the time
// of that picture's work; a one-pixel read-back before presenting makes the renderer finish the
// picture inside the step it belongs to. Prints the count, median, 99th percentile and worst,
// and how many pictures took longer than a 60 Hz display's 16.7 ms; with ZS_PICTURE_TIMES=FILE
// it also writes each picture's time, in milliseconds, one a line.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/about_text.h"
#include "app/command_line.h"
#include "app/outcome.h"
#include "app/startup.h"
#include "engine/engine_choice.h"
#include "engine/replay/replay_engine.h"
#include "engine/sdl/sdl_engine.h"
#include "full_load.h"
#include "support/sdl_hooks.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<double> stepMs;
Clock::time_point stepStart;
bool stepBegun = false;
int fullLoadPictures = 0;
int markEvery = 4;
int framesRun = 0;
int framesNotFull = 0;
std::unique_ptr<ReplayEngine> replaySession;

void BeginStep() {
    ++framesRun;
    if (!stepBegun) {
        stepBegun = true;
        stepStart = Clock::now();
    }
}

void TimeStep(SdlEngine& engine, bool presented) {
    if (!presented) {
        Uint32 pixel = 0;
        const SDL_Rect one{0, 0, 1, 1};
        SDL_RenderReadPixels(engine.Renderer(), &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
        return;
    }
    stepMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - stepStart).count());
    stepBegun = false;
}

void PlayRecorded(int, SdlEngine&) {
    BeginStep();
}

// A long game's ground: every ring full, so each new mark takes a slot under the others. The
// refill keeps every pool full between frames; frame 0 has no delta, so nothing has moved yet.
void PlayFullLoad(int frame, SdlEngine&) {
    BeginStep();  // the refill, a few microseconds, is timed with the frame
    framesNotFull += frame > 0 && !IsFullLoad() ? 1 : 0;
    FillFullLoad();
    if (markEvery > 0 && frame % markEvery == markEvery - 1) {
        PlaceNewMark(frame / markEvery);
    }
    if (static_cast<int>(stepMs.size()) >= fullLoadPictures) {
        SDL_Event quit{SDL_QUIT};
        SDL_PushEvent(&quit);
    }
}

HGE* ReplayAroundHooks() {
    return replaySession->Around(SdlHooks::Acquire());
}

void Report(const char* what) {
    // Every picture's time, in order, for whoever wants more than the summary.
    if (const char* path = std::getenv("ZS_PICTURE_TIMES")) {
        if (std::FILE* file = std::fopen(path, "w")) {
            for (const double t : stepMs) {
                std::fprintf(file, "%.3f\n", t);
            }
            std::fclose(file);
        }
    }
    std::vector<double> ms = stepMs;
    if (ms.empty()) {
        std::printf("%s: no picture\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[static_cast<std::size_t>(q * (ms.size() - 1))]; };
    const long over = std::count_if(ms.begin(), ms.end(), [](double t) { return t > 16.7; });
    const SdlHooks& hooks = SdlHooks::Get();
    std::printf(
        "%s: %zu pictures, %d frames (%.2f a picture); work of a picture: median %.2f ms, "
        "99th percentile %.2f ms, worst %.2f ms; over 16.7 ms: %ld; the ground layer drawn "
        "%.2f times a picture, %.0f quads a picture\n",
        what, ms.size(), framesRun, static_cast<double>(framesRun) / ms.size(), at(0.5), at(0.99),
        ms.back(), over, static_cast<double>(hooks.targetScenes) / ms.size(),
        static_cast<double>(hooks.targetQuads) / ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    const bool replay = argc == 3 && std::strcmp(argv[1], "replay") == 0;
    const bool fullLoad = argc >= 2 && std::strcmp(argv[1], "full-load") == 0;
    if (!replay && !fullLoad) {
        std::fprintf(stderr, "usage: %s replay FILE | full-load [PICTURES [EVERY]]\n", argv[0]);
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_RENDER_DRIVER", "opengl", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ZS_WINDOWED", "1", 1);
    setenv("ZS_DATA_DIR", ZS_SOURCE_DIR "/assets", 0);
    fullLoadPictures = fullLoad && argc > 2 ? std::atoi(argv[2]) : 3600;
    markEvery = fullLoad && argc > 3 ? std::atoi(argv[3]) : 4;
    stepMs.reserve(1 << 16);

    HGE* hge = hgeCreate(HGE_VERSION);
    SdlHooks& hooks = SdlHooks::Get();
    hooks.clock = SdlHooks::Clock::kBrowserOnItsOwn;
    hooks.SetFrameHook(replay ? PlayRecorded : PlayFullLoad);
    hooks.SetPictureHook(TimeStep);
    int status = 0;
    if (replay) {
        replaySession = std::make_unique<ReplayEngine>(replay::Mode::kReplay, argv[2],
                                                       ReplayedGame(kGameName, kGameVersion));
        std::string problem;
        if (!replaySession->Begin(&problem)) {
            std::fprintf(stderr, "cannot play back %s: %s\n", argv[2], problem.c_str());
            return 2;
        }
        ChooseEngine(ReplayAroundHooks);
        status = RunGame();
        status = status != 0 ? status : replaySession->End();
    } else {
        status = RunGame();
        std::printf("frames that found a pool no longer full: %d\n", framesNotFull);
    }
    hooks.SetFrameHook(nullptr);
    hooks.SetPictureHook(nullptr);
    Report(replay ? "recorded game" : "full load");
    hge->Release();
    return status;
}
