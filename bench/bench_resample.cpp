// Benchmarks of resample.
#include <benchmark/benchmark.h>
