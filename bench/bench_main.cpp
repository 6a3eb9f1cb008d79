// The one entry point of the benchmark binary: every bench/*.cpp registers into it.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
