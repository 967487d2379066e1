// Histograms of an image: grey, red, green, blue and hue, 256 bins each.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <array>
#include <cstdint>

namespace ie::proc {

/// The channel a histogram counts.
enum class HistogramChannel { Gray, Red, Green, Blue, Hue };

/// 256 bins of pixel counts.
using Histogram = std::array<std::uint64_t, 256>;

/// Counts the pixels of `image` (inside the selection when given, weighting nothing: a pixel
/// counts when its selection strength is above 0) by `channel`. Hue bins span 0 to 360 degrees;
/// pixels without colour (grey) are not counted for hue.
Histogram histogram(
    const Bitmap& image, HistogramChannel channel, const Selection* selection = nullptr);

} // namespace ie::proc
