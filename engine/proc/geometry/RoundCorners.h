// Rounded corners: what lies outside four quarter ellipses becomes transparent, edges smoothed.
#pragma once

#include "imaging/Bitmap.h"

namespace ie::proc {

/// Cuts the corners of `image` along quarter ellipses of radii `rx`, `ry` (clamped to half the
/// width and height); the image gets alpha when it has none. Radii of 0 change nothing.
void roundCorners(Bitmap& image, int rx, int ry);

} // namespace ie::proc
