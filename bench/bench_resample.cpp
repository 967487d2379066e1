// Benchmarks of the resampler on a 24-megapixel photo: the filters the view and resize use most.
#include "BenchImages.h"

#include "imaging/Resample.h"

#include <benchmark/benchmark.h>

namespace {

void resampleBy(benchmark::State& state, ie::ResampleFilter filter, double factor) {
    const ie::Bitmap& src = vst::bench::photo24mp();
    const int w = static_cast<int>(src.width() * factor),
              h = static_cast<int>(src.height() * factor);
    for (auto _ : state) {
        ie::Bitmap out = ie::resample(src, w, h, filter);
        benchmark::DoNotOptimize(out.scanline(0));
    }
    state.counters["MP/s"] = benchmark::Counter(
        double(src.pixelCount()) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_ResampleLanczos3Half(benchmark::State& state) {
    resampleBy(state, ie::ResampleFilter::Lanczos3, 0.5);
}
void BM_ResampleBicubicDouble(benchmark::State& state) {
    resampleBy(state, ie::ResampleFilter::Bicubic, 2.0);
}
void BM_ResampleTriangleHalf(benchmark::State& state) {
    resampleBy(state, ie::ResampleFilter::Triangle, 0.5);
}
void BM_ResampleNoneHalf(benchmark::State& state) {
    resampleBy(state, ie::ResampleFilter::None, 0.5);
}

} // namespace

BENCHMARK(BM_ResampleLanczos3Half)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResampleBicubicDouble)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResampleTriangleHalf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResampleNoneHalf)->Unit(benchmark::kMillisecond)->UseRealTime();
