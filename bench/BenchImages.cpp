#include "BenchImages.h"

#include "imaging/Parallel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vst::bench {

ie::Bitmap photoLike(int width, int height) {
    ie::Bitmap bmp(width, height, ie::PixelFormat::Rgb24);
    bmp.detach();
    ie::parallelFor(
        0, height,
        [&](int y0, int y1) {
            std::uint32_t seed = 0x9E3779B9u ^ std::uint32_t(y0);
            for (int y = y0; y < y1; ++y) {
                std::uint8_t* row = bmp.mutableScanline(y);
                const double fy = double(y) / height;
                for (int x = 0; x < width; ++x) {
                    const double fx = double(x) / width;
                    seed = seed * 1664525u + 1013904223u;
                    const double n = double(seed >> 28) - 7.5; // small sensor-like noise
                    const double tex
                        = 18 * std::sin(x * 0.05 + 3 * fy) * std::cos(y * 0.043 + 2 * fx);
                    auto c = [](double v) { return std::uint8_t(std::clamp(v, 0.0, 255.0)); };
                    row[x * 3] = c(50 + 160 * fx + tex + n);
                    row[x * 3 + 1] = c(70 + 120 * fy - tex + n);
                    row[x * 3 + 2] = c(190 - 130 * fx * fy + 0.5 * tex + n);
                }
            }
        },
        8);
    return bmp;
}

const ie::Bitmap& photo24mp() {
    static const ie::Bitmap bmp = photoLike(6000, 4000);
    return bmp;
}

} // namespace vst::bench
