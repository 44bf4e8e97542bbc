// From process start to the first presented frame: the real game (zombie-shooter-first-frame, see
// first_frame.cpp), started afresh each iteration with the real assets, tells the benchmark over a
// pipe when its first frame is on screen and then quits.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "engine/sdl/file_lookup.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct StartupVariant {
    const char* name;
    const char* videoDriver;
    const char* renderDriver;
};

constexpr StartupVariant kStartupVariants[] = {
    {"sdl_software", "dummy", "software"},
    {"sdl_opengl", "offscreen", "opengl"},
};

// This process's environment with the drivers and the window set.
std::vector<std::string> ChildEnvironment(const StartupVariant& variant) {
    const std::vector<std::string> set = {
        std::string("SDL_VIDEODRIVER=") + variant.videoDriver,
        std::string("SDL_RENDER_DRIVER=") + variant.renderDriver,
        "SDL_AUDIODRIVER=dummy",
        "ZS_WINDOWED=1",
    };
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string line = *entry;
        const std::string key = line.substr(0, line.find('=') + 1);
        bool replaced = key == "ZS_ATLAS=";
        for (const std::string& mine : set) {
            replaced = replaced || mine.compare(0, key.size(), key) == 0;
        }
        if (!replaced) {
            env.push_back(line);
        }
    }
    env.insert(env.end(), set.begin(), set.end());
    return env;
}

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Starts the game once; false (with `why`) when it did not show a frame or did not exit 0.
bool StartOnce(const StartupVariant& variant, double* toFirstFrame, double* toExit,
               const char** why) {
    int fds[2];
    if (pipe(fds) != 0) {
        *why = "no pipe";
        return false;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string program = std::string(ExecutableFolder()) + "/zombie-shooter-first-frame";
    std::string fd = std::to_string(fds[1]);
    std::vector<std::string> env = ChildEnvironment(variant);
    std::vector<char*> envp;
    for (std::string& line : env) {
        envp.push_back(line.data());
    }
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), fd.data(), nullptr};

    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data());
    close(fds[1]);
    char byte = 0;
    const bool shown = spawned == 0 && read(fds[0], &byte, 1) == 1;
    const Clock::time_point firstFrame = Clock::now();
    close(fds[0]);
    int status = 0;
    if (spawned == 0) {
        waitpid(pid, &status, 0);
    }
    const Clock::time_point exited = Clock::now();
    *toFirstFrame = Seconds(start, firstFrame);
    *toExit = Seconds(start, exited);
    if (!shown) {
        *why = "the game showed no frame";
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *why = "the game did not exit 0";
        return false;
    }
    return true;
}

void BM_Startup(benchmark::State& state, StartupVariant variant) {
    double exitTotal = 0.0;
    for (auto _ : state) {
        double toFirstFrame = 0.0;
        double toExit = 0.0;
        const char* why = nullptr;
        if (!StartOnce(variant, &toFirstFrame, &toExit, &why)) {
            state.SkipWithError(why);
            break;
        }
        state.SetIterationTime(toFirstFrame);
        exitTotal += toExit;
    }
    // Start to exit, shutdown included, for comparison.
    state.counters["to_exit_ms"] =
        benchmark::Counter(exitTotal * 1000.0, benchmark::Counter::kAvgIterations);
}

}  // namespace

void RegisterStartupBenchmarks() {
    for (const StartupVariant& variant : kStartupVariants) {
        const std::string name = std::string("BM_Startup/") + variant.name;
        benchmark::RegisterBenchmark(name.c_str(), BM_Startup, variant)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(10);
    }
}
