// Pixel comparison of two images: a similarity from 0 to 1 and a grey map of the differences.
#pragma once

#include "imaging/Bitmap.h"

namespace ie::proc {

/// The result of comparing two images.
struct Comparison {
    double similarity = 0; ///< 1 for identical pixels, 0 for opposite ones
    Bitmap difference; ///< Gray8, the size of the first image: 0 equal, 255 most different
};

/// Compares `a` with `b` pixel by pixel (red, green, blue, and alpha when `compareAlpha`); `b` is
/// stretched to the size of `a` when they differ. Similarity is one minus the mean absolute
/// channel difference over 255; each map pixel is that pixel's largest channel difference.
Comparison compareImages(const Bitmap& a, const Bitmap& b, bool compareAlpha = false);

} // namespace ie::proc
