// Benchmarks of geometry and colour modes on a 24-megapixel photo: free rotation, grey
// conversion, Lanczos halving.
#include "BenchImages.h"

#include "proc/geometry/ColorMode.h"
#include "proc/geometry/Resize.h"
#include "proc/geometry/Rotate.h"

#include <benchmark/benchmark.h>

namespace {

template <class Op> void run(benchmark::State& state, Op&& op) {
    const ie::Bitmap& src = vst::bench::photo24mp();
    for (auto _ : state) {
        ie::Bitmap out = op(src);
        benchmark::DoNotOptimize(out.scanline(0));
    }
    state.counters["MP/s"] = benchmark::Counter(
        double(src.pixelCount()) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_RotateBicubic7_5(benchmark::State& state) {
    run(state, [](const ie::Bitmap& src) { return ie::proc::rotate(src, 7.5); });
}
void BM_RotateBilinear7_5(benchmark::State& state) {
    ie::proc::RotateOptions o;
    o.interpolation = ie::proc::Interpolation::Bilinear;
    run(state, [&](const ie::Bitmap& src) { return ie::proc::rotate(src, 7.5, o); });
}
void BM_ToGray(benchmark::State& state) {
    run(state, [](const ie::Bitmap& src) { return ie::proc::toGray(src); });
}
void BM_ResizeLanczos3Half(benchmark::State& state) {
    run(state, [](const ie::Bitmap& src) {
        return ie::proc::resize(
            src, src.width() / 2, src.height() / 2, ie::ResampleFilter::Lanczos3);
    });
}

} // namespace

BENCHMARK(BM_RotateBicubic7_5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RotateBilinear7_5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToGray)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResizeLanczos3Half)->Unit(benchmark::kMillisecond)->UseRealTime();
