// Soft drop shadow behind the opaque part of an image, on a canvas grown to hold it.
#pragma once

#include "imaging/Bitmap.h"

namespace ie::proc {

/// Parameters of a soft shadow (the same members as a layer's shadow record).
struct SoftShadowParams {
    int radius = 10; ///< blur extent in pixels (0 = hard shadow)
    int offsetX = 10, offsetY = 10; ///< shadow displacement in pixels
    int intensity = 90; ///< shadow opacity in per cent (0 to 100)
    Rgb color { 0, 0, 0 };
};

/// Puts a blurred, shifted copy of the image's shape (its alpha, or the whole rectangle when
/// opaque) in `params.color` behind the image. The canvas grows by the shadow's extent on each
/// side, and the result has transparency: Rgba32 stays Rgba32, other formats become Rgb24 with
/// an alpha plane.
void addSoftShadow(Bitmap& image, const SoftShadowParams& params);

} // namespace ie::proc
