#include "proc/adjust/BlackWhite.h"

#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ChannelHistogram.h"

namespace ie::proc {

int otsuThreshold(const Bitmap& image, const Selection* selection) {
    const ChannelHistogram h = channelHistogram(image, selection);
    const auto& bins = h.bins[3];
    double total = 0, sumAll = 0;
    for (int v = 0; v < 256; ++v) {
        total += double(bins[v]);
        sumAll += double(v) * double(bins[v]);
    }
    double below = 0, sumBelow = 0, best = -1;
    int threshold = 128;
    // Class "below" holds levels < t; the threshold is the first level of the upper class.
    for (int t = 1; t < 256; ++t) {
        below += double(bins[t - 1]);
        sumBelow += double(t - 1) * double(bins[t - 1]);
        const double above = total - below;
        if (below == 0 || above == 0) continue;
        const double d = sumBelow / below - (sumAll - sumBelow) / above;
        const double between = below * above * d * d;
        if (between > best) {
            best = between;
            threshold = t;
        }
    }
    return threshold;
}

void convertToBWThreshold(Bitmap& image, const Selection* selection, int threshold) {
    if (threshold != -1) detail::requireRange(threshold, 0, 255, "The threshold");
    detail::requireAdjustable(image, "Black and White");
    const int t = threshold == -1 ? otsuThreshold(image, selection) : threshold;
    // Luma is compared in 8-bit units, like the engine's grey conversion.
    const float limit = (t - 0.5f) / 255;
    detail::forEachRgb(
        image, selection, "Black and White", [&](float& r, float& g, float& b, int, int) {
            r = g = b = detail::lumaF(r, g, b) >= limit ? 1.f : 0.f;
        });
}

void convertToBWOrdered(Bitmap& image, const Selection* selection) {
    static constexpr int bayer[8][8]
        = { { 0, 32, 8, 40, 2, 34, 10, 42 }, { 48, 16, 56, 24, 50, 18, 58, 26 },
              { 12, 44, 4, 36, 14, 46, 6, 38 }, { 60, 28, 52, 20, 62, 30, 54, 22 },
              { 3, 35, 11, 43, 1, 33, 9, 41 }, { 51, 19, 59, 27, 49, 17, 57, 25 },
              { 15, 47, 7, 39, 13, 45, 5, 37 }, { 63, 31, 55, 23, 61, 29, 53, 21 } };
    detail::forEachRgb(
        image, selection, "Black and White", [&](float& r, float& g, float& b, int x, int y) {
            const float level = (bayer[y & 7][x & 7] + 0.5f) / 64;
            r = g = b = detail::lumaF(r, g, b) >= level ? 1.f : 0.f;
        });
}

} // namespace ie::proc
