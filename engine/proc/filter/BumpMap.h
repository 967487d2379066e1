// Bump map: lights the image as a relief whose height is its own brightness.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Shades each pixel by a light from `azimuthDegrees` (0 = from the right, counter-clockwise)
/// at `elevationDegrees` above the surface (1 to 90) over a relief `depth` (0 to 100) times the
/// brightness slope. Flat areas keep their colour; depth 0 leaves the image as it is.
void bumpMap(Bitmap& image, double azimuthDegrees = 135, double elevationDegrees = 45,
    double depth = 3, const Selection* selection = nullptr);

} // namespace ie::proc
