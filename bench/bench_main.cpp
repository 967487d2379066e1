// Engine benchmarks: pixel core, resampling and codecs on photo-sized images.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
