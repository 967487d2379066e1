// Benchmarks of the JPEG and PNG codecs on a 24-megapixel photo. With VST_BENCH_SAMPLES=<folder>
// the sample files are kept there, with the photo also as photo.ppm, so that
// compare_codecs.sh can time the command-line tools on the very same files.
#include "BenchImages.h"

#include "imaging/Error.h"
#include "io/CodecRegistry.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::shared_ptr<const ie::io::Codec> codec(const char* ext) {
    return ie::io::CodecRegistry::instance().forExtension(ext);
}

ie::io::FormatParams jpegQuality90() {
    ie::io::FormatParams p;
    p.jpegQuality = 90;
    return p;
}

void writePpm(const std::string& path, const ie::Bitmap& bmp) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw ie::Error("Cannot create " + path);
    std::fprintf(f, "P6\n%d %d\n255\n", bmp.width(), bmp.height());
    for (int y = 0; y < bmp.height(); ++y)
        std::fwrite(bmp.scanline(y), 1, bmp.rowBytes(), f);
    std::fclose(f);
}

/// The folder of the sample files, filled once: photo.jpg (quality 90), photo.png (default
/// level) and, when kept for the tools, photo.ppm.
const std::string& samples() {
    static std::string dir;
    static std::once_flag once;
    std::call_once(once, [] {
        const char* keep = std::getenv("VST_BENCH_SAMPLES");
        dir = keep
            ? keep
            : (fs::temp_directory_path() / ("vst-bench-codecs-" + std::to_string(::getpid())))
                  .string();
        fs::create_directories(dir);
        const ie::Bitmap& photo = vst::bench::photo24mp();
        codec(".jpg")->write(dir + "/photo.jpg", photo, jpegQuality90(), {});
        codec(".png")->write(dir + "/photo.png", photo, {}, {});
        if (keep) writePpm(dir + "/photo.ppm", photo);
        if (!keep) std::atexit([] { fs::remove_all(dir); });
    });
    return dir;
}

void countPixels(benchmark::State& state) {
    state.counters["MP/s"] = benchmark::Counter(
        double(vst::bench::photo24mp().pixelCount()) * state.iterations() / 1e6,
        benchmark::Counter::kIsRate);
}

void decode(benchmark::State& state, const char* ext) {
    const std::string path = samples() + "/photo" + ext;
    const auto c = codec(ext);
    for (auto _ : state) {
        ie::io::DecodedImage d = c->read(path, {});
        benchmark::DoNotOptimize(d.bitmap.scanline(0));
    }
    countPixels(state);
}

void encode(benchmark::State& state, const char* ext, const std::string& target,
    const ie::io::FormatParams& params) {
    const ie::Bitmap& photo = vst::bench::photo24mp();
    const auto c = codec(ext);
    for (auto _ : state)
        c->write(target, photo, params, {});
    countPixels(state);
}

void BM_JpegDecode24mp(benchmark::State& state) {
    decode(state, ".jpg");
}
void BM_JpegEncode24mpQ90(benchmark::State& state) {
    // Into /dev/null, as the command-line encoder is timed.
    encode(state, ".jpg", "/dev/null", jpegQuality90());
}
void BM_PngDecode24mp(benchmark::State& state) {
    decode(state, ".png");
}
void BM_PngEncode24mp(benchmark::State& state) {
    encode(state, ".png", samples() + "/encoded.png", {});
}

} // namespace

// CPU time of the whole process, so that work on the other cores counts too.
BENCHMARK(BM_JpegDecode24mp)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_JpegEncode24mpQ90)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_PngDecode24mp)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_PngEncode24mp)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
