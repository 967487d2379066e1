// Rotation by any angle, with nearest, bilinear or bicubic sampling, onto a colour or transparency.
#pragma once

#include "imaging/Bitmap.h"

#include <optional>

namespace ie::proc {

/// How rotated pixels are sampled from the source.
enum class Interpolation { Nearest, Bilinear, Bicubic };

/// Options of a rotation.
struct RotateOptions {
    Interpolation interpolation = Interpolation::Bicubic;
    /// Edge pixels take the fraction of their area the image covers (no staircase).
    bool antialias = true;
    /// The colour of the uncovered corners; none means transparent (the result gets alpha).
    std::optional<Rgba> background = Rgba { 255, 255, 255, 255 };
};

/// `src` turned by `degrees` anticlockwise (negative turns clockwise) about its centre, on a
/// canvas just large enough to hold it. Multiples of 90 degrees are exact pixel moves (0 and 360
/// return the image unchanged). Works on Rgb24, Rgba32, Gray8, Gray16, Rgb48 and Cmyk32; 1-bit and
/// paletted images are turned in grey or RGB. Alpha is carried along.
Bitmap rotate(const Bitmap& src, double degrees, const RotateOptions& options = {});

/// `src` turned by `degrees` anticlockwise and cropped to the largest axis-aligned rectangle
/// that holds only image pixels (no background shows).
Bitmap rotateAndCrop(
    const Bitmap& src, double degrees, Interpolation interpolation = Interpolation::Bicubic);

/// Size of the largest axis-aligned rectangle inside a `width` x `height` rectangle turned by
/// `degrees` (rounded down, at least 1 x 1).
Rect largestInnerRect(int width, int height, double degrees);

} // namespace ie::proc
