// Colorization: every pixel takes one hue and saturation, keeping its own lightness.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Replaces the colour of the selected pixels by `hue` (0 to 360 degrees) at `saturation` (0 to
/// 100 percent), their luma becoming the HSL lightness, moved by `lightness` (-100 black to 100
/// white). Grey images keep the luma of the result.
void colorize(
    Bitmap& image, const Selection* selection, double hue, double saturation, double lightness);

} // namespace ie::proc
