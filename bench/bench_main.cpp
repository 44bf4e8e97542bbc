#include <benchmark/benchmark.h>

void RegisterFrameBenchmarks();
void RegisterStartupBenchmarks();
void RegisterRawSdlBenchmarks();

int main(int argc, char** argv) {
    RegisterRawSdlBenchmarks();
    RegisterFrameBenchmarks();
    RegisterStartupBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
