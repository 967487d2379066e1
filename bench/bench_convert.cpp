// Benchmarks of convert.
#include <benchmark/benchmark.h>
