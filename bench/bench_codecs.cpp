// Benchmarks of codecs.
#include <benchmark/benchmark.h>
