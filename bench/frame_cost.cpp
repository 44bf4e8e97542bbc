// zombie-shooter-frame-cost: what one full-load frame costs the game itself (the scripted scene of
// BM_FullLoadFrame: every pool full, on the null engine, nothing drawn), measured without Google
// Benchmark so that the same program builds natively and as WebAssembly and the two can be put
// side by side on one machine (scripts/measure-web runs both).
//
//   zombie-shooter-frame-cost [FRAMES]   prints the median and the mean microseconds per frame
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/startup.h"
#include "bench_engines.h"
#include "full_load.h"

namespace {

constexpr int kWarmUpFrames = 5;

int Measure(int frames) {
    BenchEngine& bench = BenchEngine::Get();
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(frames));
    for (int i = 0; i < kWarmUpFrames + frames; ++i) {
        FillFullLoad();
        const auto start = std::chrono::steady_clock::now();
        bench.RunFrame();
        const auto end = std::chrono::steady_clock::now();
        if (!IsFullLoad()) {
            std::fprintf(stderr, "zombie-shooter-frame-cost: a frame was not a full-load frame\n");
            return 1;
        }
        if (i >= kWarmUpFrames) {
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    }
    double sum = 0.0;
    for (const double m : micros) {
        sum += m;
    }
    std::nth_element(micros.begin(), micros.begin() + frames / 2, micros.end());
    std::printf("full-load frame: median %.1f us, mean %.1f us over %d frames (%ld quads)\n",
                micros[static_cast<std::size_t>(frames / 2)], sum / frames, frames,
                bench.TakeQuads() / (kWarmUpFrames + frames));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    int status = 1;
    BenchEngine::Get().Use(EngineKind::kHeadless, [&status, frames] { status = Measure(frames); });
    RunGame();
    return status;
}
