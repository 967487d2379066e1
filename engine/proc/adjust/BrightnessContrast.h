// Brightness, contrast and exposure, one tone map for the three.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Exposure in stops (-5 to 5) multiplies the samples by 2^exposure; contrast (-100 to 100: 0
/// unchanged, -100 flat mid-grey, 100 a hard step at mid-grey) stretches around mid-grey;
/// brightness
/// (-100 to 100) shifts by up to half the range. Applied in that order to the selected pixels.
void brightnessContrastExposure(
    Bitmap& image, const Selection* selection, double brightness, double contrast, double exposure);

} // namespace ie::proc
