#include "TestImages.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <unistd.h>

namespace vst::test {

namespace fs = std::filesystem;

ie::Bitmap photoLike(int width, int height, ie::PixelFormat format) {
    ie::Bitmap bmp(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / std::max(1, width - 1),
                         fy = double(y) / std::max(1, height - 1);
            const double tex = 12 * std::sin(x * 0.21) * std::cos(y * 0.17);
            auto c = [](double v) { return std::uint8_t(std::clamp(v, 0.0, 255.0)); };
            bmp.setPixel(x, y,
                { c(40 + 180 * fx + tex), c(60 + 150 * fy - tex), c(200 - 120 * fx * fy + tex),
                    255 });
        }
    return bmp;
}

ie::Bitmap noise(int width, int height, ie::PixelFormat format, unsigned seed) {
    ie::Bitmap bmp(width, height, format);
    std::mt19937 rng(seed);
    if (format == ie::PixelFormat::Palette8) {
        std::vector<ie::Rgb> pal(256);
        for (int i = 0; i < 256; ++i)
            pal[i] = { std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7) };
        bmp.setPalette(pal);
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bmp.mutableScanline(y);
        for (std::size_t i = 0; i < bmp.rowBytes(); ++i)
            row[i] = std::uint8_t(rng());
    }
    return bmp;
}

std::string scratchDir(const std::string& name) {
    const fs::path p
        = fs::temp_directory_path() / ("vst-scratch-" + std::to_string(::getpid())) / name;
    std::error_code ec;
    fs::remove_all(p, ec);
    fs::create_directories(p);
    return p.string();
}

double psnr(const ie::Bitmap& a, const ie::Bitmap& b) {
    double se = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const auto p = a.pixel(x, y), q = b.pixel(x, y);
            se += (p.r - q.r) * (p.r - q.r) + (p.g - q.g) * (p.g - q.g) + (p.b - q.b) * (p.b - q.b);
        }
    if (se == 0) return std::numeric_limits<double>::infinity();
    const double mse = se / (3.0 * a.width() * a.height());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

ie::Bitmap withAlpha(ie::Bitmap bmp, unsigned seed) {
    bmp.addAlphaPlane();
    std::mt19937 rng(seed);
    for (int y = 0; y < bmp.height(); ++y)
        for (int x = 0; x < bmp.width(); ++x)
            bmp.mutableAlphaLine(y)[x] = std::uint8_t(rng());
    return bmp;
}

int maxRgbaDiff(const ie::Bitmap& a, const ie::Bitmap& b, bool visibleOnly) {
    if (a.width() != b.width() || a.height() != b.height()) return 1000;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const ie::Rgba p = a.pixel(x, y), q = b.pixel(x, y);
            if (visibleOnly && p.a == 0 && q.a == 0) continue;
            worst = std::max({ worst, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b),
                std::abs(p.a - q.a) });
        }
    return worst;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace vst::test
