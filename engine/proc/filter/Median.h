// Median filter: a sorting network for the 3 x 3 case, a sliding histogram for larger radii.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Replaces every sample by the median of its (2 x radius + 1) square, channel by channel
/// (Rgba32 alpha included); radius 0 leaves the image as it is.
void median(Bitmap& image, int radius, const Selection* selection = nullptr);

} // namespace ie::proc
