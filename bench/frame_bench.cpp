// The cost of one full-load frame on each engine. See README.md for how to run it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/about_text.h"
#include "app/outcome.h"
#include "app/startup.h"
#include "bench_engines.h"
#include "engine/engine_choice.h"
#include "engine/replay/replay_engine.h"
#include "full_load.h"
#include "support/alloc_counter.h"
#include "support/game_reset.h"

namespace {

struct FrameVariant {
    const char* name;
    EngineKind kind;
    const char* videoDriver;
    const char* renderDriver;
    const char* atlas;  // ZS_ATLAS for the engine; null leaves the engine's own choice
    // The software renderer draws when the frame is presented; a GPU renderer may still be
    // drawing then, so its frame ends with a one-pixel read-back.
    bool readBack;
    // With render targets the game keeps the ground and its marks as one picture; `busy` places
    // a new mark before every frame in the slot of the oldest, so that picture is patched where
    // the old mark lay and where the new one lies, each time.
    bool layer = false;
    bool busy = false;
    // The game recorded as --record does: each frame's input sampled and stored, and the
    // outcome probed at every checkpoint.
    bool recorded = false;
};

constexpr FrameVariant kFrameVariants[] = {
    {"scripted", EngineKind::kHeadless, nullptr, nullptr, nullptr, false},
    {"scripted_recorded", EngineKind::kHeadless, nullptr, nullptr, nullptr, false, false, false,
     true},
    {"sdl_software", EngineKind::kSdl, "dummy", "software", "1", false},
    {"sdl_software_no_atlas", EngineKind::kSdl, "dummy", "software", "0", false},
    {"sdl_opengl", EngineKind::kSdl, "offscreen", "opengl", "1", true},
    {"sdl_opengl_no_atlas", EngineKind::kSdl, "offscreen", "opengl", "0", true},
    {"sdl_opengl_layer", EngineKind::kSdl, "offscreen", "opengl", "1", true, true},
    {"sdl_opengl_layer_busy", EngineKind::kSdl, "offscreen", "opengl", "1", true, true, true},
    // The software renderer allocates nothing itself: what these count is the game's and the
    // engine's.
    {"sdl_software_layer_busy", EngineKind::kSdl, "dummy", "software", "1", false, true, true},
};

// Frames played before measuring: the renderer's and the event queue's buffers grow to their
// working size in the first ones.
constexpr int kWarmUpFrames = 5;

void UseDrivers(const FrameVariant& variant) {
    if (variant.kind != EngineKind::kSdl) {
        return;
    }
    setenv("SDL_VIDEODRIVER", variant.videoDriver, 1);
    setenv("SDL_RENDER_DRIVER", variant.renderDriver, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // An 800x600 window: the picture is drawn at its own size, not scaled to a desktop.
    setenv("ZS_WINDOWED", "1", 1);
    if (variant.atlas != nullptr) {
        setenv("ZS_ATLAS", variant.atlas, 1);
    } else {
        unsetenv("ZS_ATLAS");
    }
}

void MeasureFrames(benchmark::State& state, const FrameVariant& variant) {
    BenchEngine& bench = BenchEngine::Get();
    bench.readBackEachFrame = variant.readBack;
    for (int i = 0; i < kWarmUpFrames; ++i) {
        FillFullLoad();
        bench.RunFrame();
    }
    bench.TakeQuads();
    bench.TakeDrawCalls();
    double quads = 0.0;
    double drawCalls = 0.0;
    double allocations = 0.0;
    long quadsPerFrame = -1;
    FillFullLoad();
    int newMarks = 0;
    if (variant.busy) {
        PlaceNewMark(newMarks++);
    }
    bench.readBackAllocations = 0;
    double worst = 0.0;
    for (auto _ : state) {
        const std::uint64_t before = test::AllocationCount();
        const auto started = std::chrono::steady_clock::now();
        bench.RunFrame();
        const double took =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started)
                .count();
        const std::uint64_t after = test::AllocationCount();
        worst = took > worst ? took : worst;
        // Outside the timing: check the frame was a full-load one, then fill the pools again.
        state.PauseTiming();
        allocations += static_cast<double>(after - before - bench.readBackAllocations);
        bench.readBackAllocations = 0;
        const long frameQuads = bench.TakeQuads();
        // A busy frame draws again the marks that cross its new mark's part of the layer, as
        // many as lie there: only the others draw the same quads every frame.
        if (!IsFullLoad() || (!variant.busy && quadsPerFrame >= 0 && frameQuads != quadsPerFrame)) {
            state.SkipWithError("a frame was not a full-load frame");
            break;
        }
        quadsPerFrame = frameQuads;
        quads += static_cast<double>(frameQuads);
        drawCalls += static_cast<double>(bench.TakeDrawCalls());
        FillFullLoad();
        if (variant.busy) {
            PlaceNewMark(newMarks++);
        }
        state.ResumeTiming();
    }
    state.counters["quads"] = benchmark::Counter(quads, benchmark::Counter::kAvgIterations);
    state.counters["draw_calls"] =
        benchmark::Counter(drawCalls, benchmark::Counter::kAvgIterations);
    state.counters["allocs"] = benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
    // The slowest frame of the run, in microseconds: a recorded game's outcome and its block to
    // the file come once in many frames, so the mean hides them.
    state.counters["worst_us"] = worst;
}

// The game run as --record runs it: the replay between the game and the benchmark's engine. It
// outlives the game, whose sprites give their engine back when they are freed.
std::unique_ptr<ReplayEngine> recorder;

HGE* RecordedBench() {
    return recorder->Around(BenchEngine::Acquire());
}

void RecordAGame(const std::string& path) {
    recorder = std::make_unique<ReplayEngine>(replay::Mode::kRecord, path.c_str(),
                                              ReplayedGame("zombie-shooter-bench", kGameVersion));
    std::string problem;
    if (!recorder->Begin(&problem)) {
        std::fprintf(stderr, "cannot record: %s\n", problem.c_str());
        return;
    }
    ChooseEngine(RecordedBench);
    RunGame();
    recorder->End();
    ChooseEngine(BenchEngine::Acquire);
}

// The real start-up (RunGame, which loads every asset and creates the pools) with the benchmark
// in place of the play loop; then the game is freed for the next start.
void BM_FullLoadFrame(benchmark::State& state, FrameVariant variant) {
    UseDrivers(variant);
    BenchEngine::Get().allowTargets = variant.layer;
    bool measured = false;
    BenchEngine::Get().Use(variant.kind, [&state, &measured, &variant] {
        measured = true;
        MeasureFrames(state, variant);
    });
    const std::string recording = std::filesystem::temp_directory_path() / "zs-bench.zsr";
    if (variant.recorded) {
        RecordAGame(recording);
        std::filesystem::remove(recording);
    } else {
        RunGame();
    }
    test::FreeGame();
    if (!measured) {
        state.SkipWithError("the engine did not start (see the log line above)");
    }
}

}  // namespace

void RegisterFrameBenchmarks() {
    for (const FrameVariant& variant : kFrameVariants) {
        const std::string name = std::string("BM_FullLoadFrame/") + variant.name;
        benchmark::RegisterBenchmark(name.c_str(), BM_FullLoadFrame, variant)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }
}
