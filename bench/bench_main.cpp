#include <benchmark/benchmark.h>

void RegisterFrameBenchmarks();
void RegisterStartupBenchmarks();

int main(int argc, char** argv) {
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
