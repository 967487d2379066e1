// Edge filters: Sobel gradient magnitude and emboss.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Sobel edge detection: every colour sample becomes the magnitude of its 3 x 3 Sobel gradient
/// (a flat area turns black). Rgba32 alpha is kept.
void edgeDetectSobel(Bitmap& image, const Selection* selection = nullptr);

/// Emboss: mid grey plus `depth` times the difference across the pixel in the direction of
/// `angleDegrees` (0 = light from the right, counter-clockwise); a flat area turns mid grey.
void emboss(Bitmap& image, double angleDegrees = 135, double depth = 1,
    const Selection* selection = nullptr);

} // namespace ie::proc
