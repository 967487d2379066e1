#include "proc/adjust/ChannelOps.h"

#include "imaging/Error.h"
#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ToneMap.h"

#include <array>
#include <string>

namespace ie::proc {

void negative(Bitmap& image, const Selection* selection) {
    applyToneMap(
        image, selection, [](int, double v) { return 1 - v; }, "Negative");
}

namespace {

int channelOfLetter(char c) {
    switch (c) {
    case 'R':
    case 'r':
        return 0;
    case 'G':
    case 'g':
        return 1;
    case 'B':
    case 'b':
        return 2;
    default:
        return -1;
    }
}

// Source channel of each destination channel, in R, G, B order.
std::array<int, 3> sourcesOf(std::string_view order) {
    std::array<int, 3> src {};
    bool ok = order.size() == 3;
    for (int i = 0; ok && i < 3; ++i) {
        src[2 - i] = channelOfLetter(order[std::size_t(i)]); // the text lists blue first
        ok = src[2 - i] >= 0;
    }
    if (!ok)
        throw Error("The channel order must be three of the letters R, G and B, not \""
            + std::string(order) + "\".");
    return src;
}

} // namespace

void disposeChannels(Bitmap& image, const Selection* selection, std::string_view order) {
    const std::array<int, 3> src = sourcesOf(order);
    detail::requireAdjustable(image, "Swap Colors");
    if (src == std::array<int, 3> { 0, 1, 2 } || channelCount(image.pixelFormat()) == 1) return;
    detail::forEachRgb(
        image, selection, "Swap Colors", [&](float& r, float& g, float& b, int, int) {
            const float in[3] = { r, g, b };
            r = in[src[0]];
            g = in[src[1]];
            b = in[src[2]];
        });
}

} // namespace ie::proc
