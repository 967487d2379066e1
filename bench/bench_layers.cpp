// Benchmarks of the compositor: a stack of ten 24-megapixel image layers, in full and as a view.
#include "BenchImages.h"

#include "layers/Compositor.h"
#include "layers/ImageLayer.h"

#include <benchmark/benchmark.h>

namespace {

// Ten full-size layers with normal blending: the lower five opaque, the upper five with a
// graded alpha plane. `opacity` < 1 keeps every layer visible (no layer hides those below).
ie::LayerStack tenLayers(double opacity) {
    const ie::Bitmap& photo = vst::bench::photo24mp();
    ie::LayerStack stack;
    for (int i = 0; i < 10; ++i) {
        ie::Bitmap b = photo;
        if (i >= 5) {
            b.addAlphaPlane();
            for (int y = 0; y < b.height(); ++y) {
                std::uint8_t* a = b.mutableAlphaLine(y);
                for (int x = 0; x < b.width(); ++x)
                    a[x] = static_cast<std::uint8_t>((x + y + i * 37) & 255);
            }
        }
        auto layer = std::make_unique<ie::ImageLayer>(std::move(b));
        if (i > 0) layer->opacity = opacity;
        stack.add(std::move(layer));
    }
    return stack;
}

void compositeFull(benchmark::State& state, double opacity) {
    const ie::LayerStack stack = tenLayers(opacity);
    for (auto _ : state) {
        ie::Bitmap out = ie::compositeAll(stack);
        benchmark::DoNotOptimize(out.scanline(0));
    }
    state.counters["MP/s"] = benchmark::Counter(
        double(stack.canvasWidth()) * stack.canvasHeight() * state.iterations() / 1e6,
        benchmark::Counter::kIsRate);
}

void BM_CompositeTenLayers24mp(benchmark::State& state) {
    compositeFull(state, 1.0);
}
void BM_CompositeTenTranslucentLayers24mp(benchmark::State& state) {
    compositeFull(state, 0.9);
}

// The view: the whole canvas fitted into 1920 x 1080 (keeping proportions) over a background.
void BM_CompositeViewFit1080p(benchmark::State& state) {
    const ie::LayerStack stack = tenLayers(0.9);
    const double scale = std::min(1920.0 / stack.canvasWidth(), 1080.0 / stack.canvasHeight());
    ie::CompositeOptions opt;
    opt.withAlpha = false;
    opt.filter = static_cast<ie::ResampleFilter>(state.range(0));
    for (auto _ : state) {
        ie::Bitmap out
            = ie::composite(stack, { 0, 0, stack.canvasWidth(), stack.canvasHeight() }, scale, opt);
        benchmark::DoNotOptimize(out.scanline(0));
    }
}

} // namespace

BENCHMARK(BM_CompositeTenLayers24mp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CompositeTenTranslucentLayers24mp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CompositeViewFit1080p)
    ->Arg(static_cast<int>(ie::ResampleFilter::Nearest))
    ->Arg(static_cast<int>(ie::ResampleFilter::Bilinear))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
