// Save and load of a three-variant 24-megapixel project (each variant a background and two
// image layers), side by side with plain one-core zlib on the same pixel bytes.
#include "BenchImages.h"

#include "layers/ImageLayer.h"
#include "project/ProjectFile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <unistd.h>
#include <zlib.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kVariants = 3;
constexpr int kLayersPerVariant = 3;

std::vector<vst::project::Variant> project() {
    std::vector<vst::project::Variant> variants(kVariants);
    for (int v = 0; v < kVariants; ++v) {
        variants[v].VersionName = v == 0 ? "Original" : "Variant " + QString::number(v);
        for (int l = 0; l < kLayersPerVariant; ++l)
            variants[v].layers.add(std::make_unique<ie::ImageLayer>(vst::bench::photo24mp()));
    }
    return variants;
}

// The photo's pixel rows as one block, as a plain zlib user would hold them.
const std::vector<std::uint8_t>& pixelBytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        const ie::Bitmap& p = vst::bench::photo24mp();
        std::vector<std::uint8_t> b(p.rowBytes() * std::size_t(p.height()));
        for (int y = 0; y < p.height(); ++y)
            std::memcpy(b.data() + p.rowBytes() * std::size_t(y), p.scanline(y), p.rowBytes());
        return b;
    }();
    return bytes;
}

// Wall time and the CPU time of every thread of the process: on a busy machine the CPU time
// still shows how much work each side does.
struct Timer {
    Clock::time_point wall = Clock::now();
    std::clock_t cpu = std::clock();
    double wallSeconds() const {
        return std::chrono::duration<double>(Clock::now() - wall).count();
    }
    double cpuSeconds() const { return double(std::clock() - cpu) / CLOCKS_PER_SEC; }
};

std::string projectPath() {
    static const std::string path = (fs::temp_directory_path()
        / ("vst-bench-project-" + std::to_string(::getpid()) + ".vstl"))
                                        .string();
    return path;
}

void report(
    benchmark::State& state, const char* what, double oursWall, double oursCpu, const Timer& zlib) {
    const double zlibWall = zlib.wallSeconds(), zlibCpu = zlib.cpuSeconds();
    state.counters["ours_s"] = oursWall;
    state.counters["zlib_1core_s"] = zlibWall;
    state.counters["ratio"] = oursWall / zlibWall;
    state.counters["cpu_ratio"] = oursCpu / zlibCpu;
    std::printf("%s: ours %.3f s (cpu %.3f s), zlib on one core %.3f s (cpu %.3f s), "
                "ratio %.3f, cpu ratio %.3f\n",
        what, oursWall, oursCpu, zlibWall, zlibCpu, oursWall / zlibWall, oursCpu / zlibCpu);
}

void BM_ProjectSave(benchmark::State& state) {
    auto variants = project();
    const auto& raw = pixelBytes();
    std::vector<std::uint8_t> packed(compressBound(uLong(raw.size())));
    for (auto _ : state) {
        const Timer ours;
        vst::project::saveProject(projectPath(), variants);
        const double oursWall = ours.wallSeconds(), oursCpu = ours.cpuSeconds();
        const Timer zlib;
        for (int i = 0; i < kVariants * kLayersPerVariant; ++i) {
            uLongf n = uLongf(packed.size());
            compress2(packed.data(), &n, raw.data(), uLong(raw.size()), Z_DEFAULT_COMPRESSION);
        }
        report(state, "save", oursWall, oursCpu, zlib);
    }
    state.counters["file_MB"] = double(fs::file_size(projectPath())) / 1e6;
}

void BM_ProjectLoad(benchmark::State& state) {
    {
        auto variants = project();
        vst::project::saveProject(projectPath(), variants);
    }
    const auto& raw = pixelBytes();
    std::vector<std::uint8_t> packed(compressBound(uLong(raw.size())));
    uLongf packedSize = uLongf(packed.size());
    compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), Z_DEFAULT_COMPRESSION);
    std::vector<std::uint8_t> out(raw.size(), 1); // touched once, like memory in use
    for (auto _ : state) {
        const Timer ours;
        auto loaded = vst::project::loadProject(projectPath());
        const double oursWall = ours.wallSeconds(), oursCpu = ours.cpuSeconds();
        benchmark::DoNotOptimize(loaded);
        loaded.clear(); // back to the pool before the baseline runs
        const Timer zlib;
        for (int i = 0; i < kVariants * kLayersPerVariant; ++i) {
            uLongf n = uLongf(out.size());
            uncompress(out.data(), &n, packed.data(), packedSize);
        }
        report(state, "load", oursWall, oursCpu, zlib);
    }
    fs::remove(projectPath());
}

} // namespace

BENCHMARK(BM_ProjectSave)->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK(BM_ProjectLoad)->Unit(benchmark::kSecond)->Iterations(3);
