// Benchmarks of the colour adjustments on a 24-megapixel photo: levels and hue/saturation.
#include "BenchImages.h"

#include "proc/adjust/HueSaturation.h"
#include "proc/adjust/Levels.h"

#include <benchmark/benchmark.h>

namespace {

template <class Op> void adjustCopy(benchmark::State& state, Op op) {
    const ie::Bitmap& src = vst::bench::photo24mp();
    for (auto _ : state) {
        ie::Bitmap out = src; // shared until written: the adjustment makes the one copy
        op(out);
        benchmark::DoNotOptimize(out.scanline(0));
    }
    state.counters["MP/s"] = benchmark::Counter(
        double(src.pixelCount()) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

// The same settings as bench/compare_color.sh gives libvips and OpenCV.
void BM_Levels(benchmark::State& state) {
    ie::proc::LevelsParams p;
    p.master.inBlack = 20;
    p.master.inWhite = 235;
    p.master.gamma = 1.2;
    adjustCopy(state, [&](ie::Bitmap& b) { ie::proc::levels(b, nullptr, p); });
}

void BM_HueSaturation(benchmark::State& state) {
    adjustCopy(state, [](ie::Bitmap& b) {
        ie::proc::hueSaturationLuminosity(b, nullptr, ie::proc::ColorRange::All, 30, 20, 0);
    });
}

} // namespace

BENCHMARK(BM_Levels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HueSaturation)->Unit(benchmark::kMillisecond)->UseRealTime();
