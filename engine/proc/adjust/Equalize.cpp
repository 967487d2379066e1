#include "proc/adjust/Equalize.h"

#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ChannelHistogram.h"
#include "proc/adjust/ToneMap.h"

#include <array>

namespace ie::proc {

namespace {

// The cumulative distribution as a 257-point map: entry v is where bin v's lower edge goes.
std::array<double, 257> equalizingMap(const std::array<std::uint64_t, 256>& bins) {
    std::array<double, 257> map {};
    std::uint64_t total = 0;
    for (auto n : bins)
        total += n;
    double sum = 0;
    for (int v = 0; v < 256; ++v) {
        map[v] = total ? sum / double(total) : v / 256.0;
        sum += double(bins[v]);
    }
    map[256] = 1;
    return map;
}

double readMap(const std::array<double, 257>& map, double v) {
    const double f = std::clamp(v, 0.0, 1.0) * 256;
    const int i = std::min(int(f), 255);
    return map[i] + (map[i + 1] - map[i]) * (f - i);
}

} // namespace

void equalize(Bitmap& image, const Selection* selection, bool perChannel) {
    const ChannelHistogram h = channelHistogram(image, selection);
    if (h.pixels == 0) return;
    std::array<std::array<double, 257>, 3> maps;
    for (int c = 0; c < 3; ++c)
        maps[c] = equalizingMap(h.bins[perChannel ? c : 3]);
    applyToneMap(
        image, selection, [&](int c, double v) { return readMap(maps[c], v); }, "Equalization");
}

void autoEnhance(Bitmap& image, const Selection* selection, double amount, double clipPercent) {
    detail::requireRange(amount, 0, 100, "Amount");
    detail::requireRange(clipPercent, 0, 10, "Clipping");
    const ChannelHistogram h = channelHistogram(image, selection);
    if (h.pixels == 0 || amount == 0) return;
    std::array<double, 3> lo, hi;
    for (int c = 0; c < 3; ++c) {
        lo[c] = histogramPercentile(h.bins[c], h.pixels, clipPercent / 100) / 255.0;
        hi[c] = histogramPercentile(h.bins[c], h.pixels, clipPercent / 100, true) / 255.0;
        if (hi[c] - lo[c] < 1.0 / 255) { // a flat channel has nothing to stretch
            lo[c] = 0;
            hi[c] = 1;
        }
    }
    const double a = amount / 100;
    applyToneMap(
        image, selection,
        [&](int c, double v) { return v + a * ((v - lo[c]) / (hi[c] - lo[c]) - v); },
        "Auto-enhancement");
}

} // namespace ie::proc
