// Benchmarks of the filters on a 24-megapixel RGB photo: blurs, unsharp mask and median.
#include "BenchImages.h"

#include "proc/filter/Blur.h"
#include "proc/filter/Median.h"
#include "proc/filter/Sharpen.h"

#include <benchmark/benchmark.h>

namespace {

template <class Op> void filterBench(benchmark::State& state, Op&& op) {
    const ie::Bitmap& src = vst::bench::photo24mp();
    for (auto _ : state) {
        ie::Bitmap img = src; // shared until the filter writes its rows
        op(img);
        benchmark::DoNotOptimize(img.scanline(0));
    }
    state.counters["MP/s"] = benchmark::Counter(
        double(src.pixelCount()) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_GaussianBlurSigma2(benchmark::State& state) {
    filterBench(state, [](ie::Bitmap& b) { ie::proc::gaussianBlur(b, 2.0); });
}
void BM_GaussianBlurSigma20(benchmark::State& state) {
    filterBench(state, [](ie::Bitmap& b) { ie::proc::gaussianBlur(b, 20.0); });
}
void BM_UnsharpMask(benchmark::State& state) {
    filterBench(state, [](ie::Bitmap& b) { ie::proc::unsharpMask(b, 2.0, 1.0, 0); });
}
void BM_Median3x3(benchmark::State& state) {
    filterBench(state, [](ie::Bitmap& b) { ie::proc::median(b, 1); });
}

} // namespace

BENCHMARK(BM_GaussianBlurSigma2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GaussianBlurSigma20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnsharpMask)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Median3x3)->Unit(benchmark::kMillisecond)->UseRealTime();
