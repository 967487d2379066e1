#include "RawOptions.h"

#include "../../imaging/Parallel.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace ie::io {

void applyRawParams(const RawParams& p, libraw_output_params_t& out) {
    out.half_size = p.size == RawSize::Half ? 1 : 0;
    out.four_color_rgb = p.fourColorRGB ? 1 : 0;
    // LibRaw numbers its interpolations in the order of the options: 0 linear ... 4 DCB.
    out.user_qual = p.quickInterpolate ? 0 : std::clamp(int(p.interpolation), 0, 4);
    out.use_auto_wb = p.autoWB ? 1 : 0;
    out.use_camera_wb = p.cameraWB ? 1 : 0;
    out.gamm[0] = p.gamma > 0 ? 1.0 / p.gamma : 1.0 / 2.222;
    out.gamm[1] = std::max(0.0, p.gammaSlope);
    out.no_auto_bright = p.autoBrightness ? 0 : 1;
    out.bright = float(std::max(0.0, p.brightness));
    out.output_color = std::clamp(int(p.colorSpace), 0, 5);
    out.highlight = std::clamp(p.highlight, 0, 9);
    out.output_bps = p.outputBits16 ? 16 : 8;
}

} // namespace ie::io

namespace ie::io {

namespace {

constexpr double kClipFraction = 0.001;

/// The levels below and above which `fraction` of the counted samples lie.
std::pair<int, int> clipLevels(const std::vector<std::uint64_t>& hist, double fraction) {
    std::uint64_t total = 0;
    for (auto n : hist)
        total += n;
    const auto limit = std::uint64_t(double(total) * fraction);
    int lo = 0, hi = int(hist.size()) - 1;
    for (std::uint64_t seen = 0; lo < hi && seen + hist[std::size_t(lo)] <= limit; ++lo)
        seen += hist[std::size_t(lo)];
    for (std::uint64_t seen = 0; hi > lo && seen + hist[std::size_t(hi)] <= limit; --hi)
        seen += hist[std::size_t(hi)];
    return { lo, hi };
}

template <class T> void stretch(Bitmap& bmp) {
    constexpr int levels = 1 << (8 * sizeof(T));
    const int w = bmp.width(), h = bmp.height();
    std::vector<std::uint64_t> hist[3];
    for (auto& hc : hist)
        hc.assign(levels, 0);
    for (int y = 0; y < h; ++y) {
        const T* p = reinterpret_cast<const T*>(bmp.scanline(y));
        for (int x = 0; x < w * 3; x += 3)
            for (int c = 0; c < 3; ++c)
                ++hist[c][p[x + c]];
    }
    std::vector<T> lut[3];
    for (int c = 0; c < 3; ++c) {
        const auto [lo, hi] = clipLevels(hist[c], kClipFraction);
        lut[c].resize(levels);
        for (int v = 0; v < levels; ++v) {
            const double t = hi > lo ? double(v - lo) / double(hi - lo) : double(v) / (levels - 1);
            lut[c][std::size_t(v)] = T(std::clamp(t, 0.0, 1.0) * (levels - 1) + 0.5);
        }
    }
    bmp.detach();
    parallelFor(0, h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            T* p = reinterpret_cast<T*>(bmp.mutableScanline(y));
            for (int x = 0; x < w * 3; x += 3)
                for (int c = 0; c < 3; ++c)
                    p[x + c] = lut[c][p[x + c]];
        }
    });
}

} // namespace

void autoAdjustColors(Bitmap& bmp) {
    if (bmp.pixelFormat() == PixelFormat::Rgb24)
        stretch<std::uint8_t>(bmp);
    else if (bmp.pixelFormat() == PixelFormat::Rgb48)
        stretch<std::uint16_t>(bmp);
}

} // namespace ie::io
