#pragma once
// The main of a benchmark program whose work holds projects and
// dictionaries: it prepares the heap as quillon and quillon-cli do
// (io/Heap.h), so the figures are those of the programs, not of the
// allocator's defaults.

#include <benchmark/benchmark.h>

#include "io/Heap.h"

#define QUILLON_BENCHMARK_MAIN()                                                                                       \
    int main(int argc, char** argv) {                                                                                  \
        quillon::PrepareHeapForLargeTrees();                                                                           \
        benchmark::Initialize(&argc, argv);                                                                            \
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;                                              \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
