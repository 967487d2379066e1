#include "proc/adjust/ChannelHistogram.h"

#include "imaging/Color.h"
#include "imaging/Parallel.h"
#include "proc/MaskBlend.h"
#include "proc/adjust/AdjustRows.h"

#include <mutex>

namespace ie::proc {

namespace {

template <class T, int Stride>
void countRow(const std::uint8_t* row, const std::uint8_t* mask, Rect r, ChannelHistogram& h) {
    const T* p = reinterpret_cast<const T*>(row) + std::size_t(r.x) * Stride;
    constexpr int shift = sizeof(T) == 1 ? 0 : 8;
    for (int x = 0; x < r.w; ++x, p += Stride) {
        if (mask && mask[x] < 128) continue;
        const int a = p[0] >> shift;
        const int b = Stride == 1 ? a : p[1] >> shift;
        const int c = Stride == 1 ? a : p[2] >> shift;
        ++h.bins[0][a];
        ++h.bins[1][b];
        ++h.bins[2][c];
        ++h.bins[3][Stride == 1 ? a : lumaOf(a, b, c)];
        ++h.pixels;
    }
}

void countRow(const Bitmap& image, int y, const std::uint8_t* mask, Rect r, ChannelHistogram& h) {
    const std::uint8_t* row = image.scanline(y);
    switch (image.pixelFormat()) {
    case PixelFormat::Rgb24:
        return countRow<std::uint8_t, 3>(row, mask, r, h);
    case PixelFormat::Rgba32:
        return countRow<std::uint8_t, 4>(row, mask, r, h);
    case PixelFormat::Rgb48:
        return countRow<std::uint16_t, 3>(row, mask, r, h);
    case PixelFormat::Gray8:
        return countRow<std::uint8_t, 1>(row, mask, r, h);
    default:
        return countRow<std::uint16_t, 1>(row, mask, r, h);
    }
}

} // namespace

ChannelHistogram channelHistogram(const Bitmap& image, const Selection* selection) {
    detail::requireAdjustable(image, "The histogram");
    const Rect rect = workRect(image, selection);
    const bool masked = selection && !selection->isEmpty();
    ChannelHistogram total;
    std::mutex merge;
    parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
        ChannelHistogram part;
        for (int y = y0; y < y1; ++y)
            countRow(
                image, y, masked ? selection->mask().scanline(y) + rect.x : nullptr, rect, part);
        std::lock_guard lock(merge);
        for (int c = 0; c < 4; ++c)
            for (int v = 0; v < 256; ++v)
                total.bins[c][v] += part.bins[c][v];
        total.pixels += part.pixels;
    });
    return total;
}

int histogramPercentile(const std::array<std::uint64_t, 256>& bins, std::uint64_t pixels,
    double fraction, bool fromTop) {
    const double limit = fraction * double(pixels);
    double sum = 0;
    for (int i = 0; i < 256; ++i) {
        const int v = fromTop ? 255 - i : i;
        sum += double(bins[v]);
        if (sum > limit) return v;
    }
    return fromTop ? 0 : 255;
}

} // namespace ie::proc
