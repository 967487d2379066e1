// 256-bin histograms of the red, green, blue and luma samples of the selected pixels, for the
// adjustments that adapt to the picture (equalization, auto-enhancement, automatic threshold).
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <array>
#include <cstdint>

namespace ie::proc {

/// Counts per channel (0 red, 1 green, 2 blue, 3 luma); 16-bit samples fall in the bin of their
/// high byte, grey images fill all four with the grey.
struct ChannelHistogram {
    std::array<std::array<std::uint64_t, 256>, 4> bins {};
    std::uint64_t pixels = 0;
};

/// The histogram of the pixels at least half selected (every pixel without a selection).
/// Formats as for the adjustments; others throw ie::Error.
ChannelHistogram channelHistogram(const Bitmap& image, const Selection* selection);

/// The smallest bin whose cumulative count exceeds `fraction` (0 to 1) of the pixels; with
/// `fromTop`, the largest bin whose count from the top does.
int histogramPercentile(const std::array<std::uint64_t, 256>& bins, std::uint64_t pixels,
    double fraction, bool fromTop = false);

} // namespace ie::proc
