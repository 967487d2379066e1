// Sharpening: unsharp mask and the simpler sharpen of the filter dialogs.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Unsharp mask: adds `amount` x (pixel - Gaussian blur of `radius` sigma) to every sample whose
/// difference from the blur is at least `threshold` (0 to 255, on the 8-bit scale). Amount 0 or
/// radius 0 leave the image as it is. Rgba32 alpha is kept.
void unsharpMask(Bitmap& image, double radius, double amount, int threshold = 0,
    const Selection* selection = nullptr);

/// Sharpen by `intensity` (1 to 100) over a neighbourhood of `neighbourhood` pixels (>= 1):
/// an unsharp mask of sigma neighbourhood / 2 and amount intensity / 10.
void sharpen(Bitmap& image, int intensity, int neighbourhood, const Selection* selection = nullptr);

} // namespace ie::proc
