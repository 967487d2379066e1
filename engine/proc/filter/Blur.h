// Blurs: Gaussian (any radius, constant cost per pixel), box and motion blur.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Gaussian blur of standard deviation `sigma` pixels (0 leaves the image as it is). Small
/// sigmas use a sampled kernel, large ones four box passes of the same variance. Works on Gray8,
/// Rgb24, Rgba32 (alpha blurred with the colour) and Rgb48; only selected pixels change.
void gaussianBlur(Bitmap& image, double sigma, const Selection* selection = nullptr);

/// Average over a (2 x radius + 1) square; radius 0 leaves the image as it is.
void boxBlur(Bitmap& image, int radius, const Selection* selection = nullptr);

/// Averages `length` pixels along a line at `angleDegrees` (0 = horizontal, counter-clockwise)
/// centred on each pixel; a length of 1 or less leaves the image as it is.
void motionBlur(
    Bitmap& image, double angleDegrees, int length, const Selection* selection = nullptr);

} // namespace ie::proc
