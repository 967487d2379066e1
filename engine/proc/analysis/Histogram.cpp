#include "proc/analysis/Histogram.h"

#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "imaging/Parallel.h"
#include "proc/MaskBlend.h"
#include "proc/analysis/Hsv.h"

#include <mutex>

namespace ie::proc {

namespace {

int binOf(HistogramChannel channel, const std::uint8_t* p) {
    switch (channel) {
    case HistogramChannel::Gray:
        return lumaOf(p[0], p[1], p[2]);
    case HistogramChannel::Red:
        return p[0];
    case HistogramChannel::Green:
        return p[1];
    case HistogramChannel::Blue:
        return p[2];
    case HistogramChannel::Hue:
        return hsvOf(p[0], p[1], p[2]).h;
    }
    return -1;
}

} // namespace

Histogram histogram(const Bitmap& image, HistogramChannel channel, const Selection* selection) {
    Histogram total {};
    if (image.isNull()) return total;
    const Rect r = workRect(image, selection);
    const bool masked = selection && !selection->isEmpty();
    const PixelFormat f = image.pixelFormat();
    const Bitmap rgb = f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32
        ? image
        : convertTo(image, PixelFormat::Rgb24);
    const int step = rgb.pixelFormat() == PixelFormat::Rgba32 ? 4 : 3;
    std::mutex lock;
    parallelFor(r.y, r.bottom(), [&](int y0, int y1) {
        Histogram part {};
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* row = rgb.scanline(y) + std::size_t(r.x) * step;
            const std::uint8_t* mask = masked ? selection->mask().scanline(y) + r.x : nullptr;
            for (int x = 0; x < r.w; ++x, row += step) {
                if (mask && !mask[x]) continue;
                const int bin = binOf(channel, row);
                if (bin >= 0) ++part[std::size_t(bin)];
            }
        }
        const std::lock_guard guard(lock);
        for (std::size_t i = 0; i < part.size(); ++i)
            total[i] += part[i];
    });
    return total;
}

} // namespace ie::proc
