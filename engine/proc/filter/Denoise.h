// Noise reduction and smoothing: bilateral and non-local-means denoise, and one entry point
// for the smoothing dialog's methods.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Edge-preserving bilateral filter over a `diameter` pixel neighbourhood; `sigmaColor` on the
/// 8-bit scale, `sigmaSpace` in pixels. Rgba32 alpha is kept.
void bilateralDenoise(Bitmap& image, int diameter, double sigmaColor, double sigmaSpace,
    const Selection* selection = nullptr);

/// Non-local-means denoise of strength `h` (8-bit scale, about 3 to 30). Rgba32 alpha is kept.
void nonLocalMeansDenoise(Bitmap& image, double h, const Selection* selection = nullptr);

/// The smoothing methods; the numbers are stored in effect texts: never renumber.
enum class SmoothMethod { Gaussian = 0, Box = 1, Median = 2, Bilateral = 3, NonLocalMeans = 4 };

/// Smooths by `method` with one strength: Gaussian sigma, box or median radius, bilateral
/// colour sigma (diameter 9) or non-local-means h. Strength 0 leaves the image as it is.
void smoothing(
    Bitmap& image, SmoothMethod method, double strength, const Selection* selection = nullptr);

} // namespace ie::proc
