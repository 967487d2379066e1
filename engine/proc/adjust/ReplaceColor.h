// Colour replacement: pixels near a picked colour move toward a new one, keeping their texture.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Pixels whose largest channel difference from `from` is within `tolerance` percent (0 to 100)
/// are shifted by `to - from`: fully up to three quarters of the tolerance, fading to nothing at
/// the tolerance. Tolerance 0 changes exact matches only.
void replaceColor(Bitmap& image, const Selection* selection, Rgb from, double tolerance, Rgb to);

} // namespace ie::proc
