// The floor the engine is measured against: the full-load frame's quads, as the game hands them
// to its engine, drawn by SDL calls alone. Each image is a texture of its own and a run of quads
// with the same texture and blend is one SDL_RenderGeometry call, as a small SDL program would
// draw them; the frame ends with the same one-pixel read-back and present as the engine's
// OpenGL variants.
#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/startup.h"
#include "bench_engines.h"
#include "full_load.h"
#include "support/alloc_counter.h"
#include "support/game_reset.h"

namespace {

struct Run {
    SDL_Texture* texture;
    SDL_BlendMode blend;
    int first;
    int count;
};

struct RawFrame {
    std::vector<hgeQuad> quads;
    std::vector<std::string> paths;  // by texture handle - 1
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
    std::vector<Run> runs;
};

// One full-load frame played on the headless engine, its quads kept with the files of their
// textures.
RawFrame CaptureFullLoad() {
    RawFrame frame;
    BenchEngine& bench = BenchEngine::Get();
    bench.allowTargets = false;
    bench.Use(EngineKind::kHeadless, [&frame, &bench] {
        FillFullLoad();
        bench.RunFrame();
        FillFullLoad();
        bench.captured = &frame.quads;
        bench.RunFrame();
        bench.captured = nullptr;
        for (HTEXTURE tex = 1; !bench.TexturePath(tex).empty(); ++tex) {
            frame.paths.push_back(bench.TexturePath(tex));
        }
    });
    RunGame();
    test::FreeGame();
    return frame;
}

SDL_Color ColorOf(std::uint32_t argb) {
    return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                     static_cast<Uint8>(argb), static_cast<Uint8>(argb >> 24)};
}

// The vertices of every quad, the runs that share a texture and a blend, and each run's
// indices counted from its first vertex.
void Build(RawFrame& frame, const std::vector<SDL_Texture*>& textures, SDL_Texture* white) {
    for (const hgeQuad& quad : frame.quads) {
        const int q = static_cast<int>(frame.vertices.size() / 4);
        SDL_Texture* texture =
            quad.tex != 0 && quad.tex <= textures.size() ? textures[quad.tex - 1] : white;
        const SDL_BlendMode blend =
            (quad.blend & BLEND_ALPHABLEND) != 0 ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_ADD;
        if (frame.runs.empty() || frame.runs.back().texture != texture ||
            frame.runs.back().blend != blend) {
            frame.runs.push_back(Run{texture, blend, q, 0});
        }
        const int base = (q - frame.runs.back().first) * 4;
        for (const int corner : {0, 1, 2, 0, 2, 3}) {
            frame.indices.push_back(base + corner);
        }
        for (const hgeVertex& v : quad.v) {
            frame.vertices.push_back({{v.x, v.y}, ColorOf(v.col), {v.tx, v.ty}});
        }
        ++frame.runs.back().count;
    }
}

void DrawRuns(SDL_Renderer* renderer, RawFrame& frame) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    for (const Run& run : frame.runs) {
        SDL_SetTextureBlendMode(run.texture, run.blend);
        SDL_RenderGeometry(renderer, run.texture, &frame.vertices[run.first * 4], run.count * 4,
                           &frame.indices[run.first * 6], run.count * 6);
    }
}

void MeasureRaw(benchmark::State& state, SDL_Renderer* renderer, RawFrame& frame) {
    Uint32 pixel = 0;
    const SDL_Rect one{400, 300, 1, 1};
    double allocations = 0.0;
    for (auto _ : state) {
        const std::uint64_t before = test::AllocationCount();
        DrawRuns(renderer, frame);
        SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
        SDL_RenderPresent(renderer);
        allocations += static_cast<double>(test::AllocationCount() - before);
    }
    benchmark::DoNotOptimize(pixel);
    state.counters["quads"] = static_cast<double>(frame.quads.size());
    state.counters["draw_calls"] = static_cast<double>(frame.runs.size());
    state.counters["allocs"] = benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
}

void BM_RawSdlFrame(benchmark::State& state) {
    RawFrame frame = CaptureFullLoad();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    // As the engine samples images on an accelerated renderer.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* window = SDL_CreateWindow("floor", 0, 0, 800, 600, 0);
    SDL_Renderer* renderer =
        window != nullptr ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
    std::vector<SDL_Texture*> textures;
    SDL_Surface* whiteTexel = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(whiteTexel, nullptr, 0xFFFFFFFF);
    SDL_Texture* white =
        renderer != nullptr ? SDL_CreateTextureFromSurface(renderer, whiteTexel) : nullptr;
    SDL_FreeSurface(whiteTexel);
    for (const std::string& path : frame.paths) {
        textures.push_back(renderer != nullptr ? IMG_LoadTexture(renderer, path.c_str()) : nullptr);
    }
    if (renderer == nullptr || frame.quads.empty()) {
        state.SkipWithError("no OpenGL renderer, or no frame captured");
    } else {
        Build(frame, textures, white);
        for (int i = 0; i < 5; ++i) {  // the driver's buffers grow to their working size
            DrawRuns(renderer, frame);
            SDL_RenderPresent(renderer);
        }
        MeasureRaw(state, renderer, frame);
    }
    for (SDL_Texture* texture : textures) {
        SDL_DestroyTexture(texture);
    }
    SDL_DestroyTexture(white);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
}

}  // namespace

void RegisterRawSdlBenchmarks() {
    benchmark::RegisterBenchmark("BM_FullLoadFrame/raw_sdl_opengl", BM_RawSdlFrame)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
}
