// Benchmarks of pixel-format conversion and whole-bitmap operations on a 24-megapixel photo.
#include "BenchImages.h"
#include "imaging/BitmapOps.h"
#include "imaging/Convert.h"

#include <benchmark/benchmark.h>

#include <map>

using namespace ie;

namespace {

// The shared photo in another format, converted once.
const Bitmap& photoAs(PixelFormat f) {
    static std::map<PixelFormat, Bitmap> cache;
    auto it = cache.find(f);
    if (it == cache.end()) it = cache.emplace(f, convertTo(vst::bench::photo24mp(), f)).first;
    return it->second;
}

void convert(benchmark::State& state, PixelFormat from, PixelFormat to, ConvertOptions options) {
    const Bitmap& src = photoAs(from);
    for (auto _ : state)
        benchmark::DoNotOptimize(convertTo(src, to, options));
    state.SetItemsProcessed(state.iterations() * src.pixelCount());
}

void rotate(benchmark::State& state, int degrees) {
    const Bitmap& src = vst::bench::photo24mp();
    for (auto _ : state)
        benchmark::DoNotOptimize(rotateRightAngle(src, degrees));
    state.SetItemsProcessed(state.iterations() * src.pixelCount());
}

void flip(benchmark::State& state, bool horizontal) {
    Bitmap bmp = vst::bench::photo24mp();
    bmp.detach(); // measure the flip, not the first copy of shared strips
    for (auto _ : state) {
        if (horizontal)
            flipHorizontal(bmp);
        else
            flipVertical(bmp);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * bmp.pixelCount());
}

using F = PixelFormat;
const ConvertOptions kPlain {};
const ConvertOptions kDither { 256, true, 128 };

} // namespace

#define VST_CONVERT(name, from, to, options)                                                       \
    BENCHMARK_CAPTURE(convert, name, from, to, options)                                            \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()

VST_CONVERT(rgb24_to_gray8, F::Rgb24, F::Gray8, kPlain);
VST_CONVERT(gray8_to_rgb24, F::Gray8, F::Rgb24, kPlain);
VST_CONVERT(rgb24_to_rgba32, F::Rgb24, F::Rgba32, kPlain);
VST_CONVERT(rgba32_to_rgb24, F::Rgba32, F::Rgb24, kPlain);
VST_CONVERT(rgb24_to_rgb48, F::Rgb24, F::Rgb48, kPlain);
VST_CONVERT(rgb48_to_rgb24, F::Rgb48, F::Rgb24, kPlain);
VST_CONVERT(rgb24_to_cmyk32, F::Rgb24, F::Cmyk32, kPlain);
VST_CONVERT(cmyk32_to_rgb24, F::Cmyk32, F::Rgb24, kPlain);
VST_CONVERT(palette8_to_rgb24, F::Palette8, F::Rgb24, kPlain);
VST_CONVERT(rgb24_to_palette8, F::Rgb24, F::Palette8, kPlain);
VST_CONVERT(rgb24_to_palette8_dither, F::Rgb24, F::Palette8, kDither);
VST_CONVERT(rgb24_to_bw1_dither, F::Rgb24, F::Bw1, kDither);

BENCHMARK_CAPTURE(rotate, 90, 90)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(rotate, 180, 180)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(flip, horizontal, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(flip, vertical, false)->Unit(benchmark::kMillisecond)->UseRealTime();
