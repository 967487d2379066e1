// Temperature, tint and saturation: white balance gains and a saturation matrix in one pass.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Temperature (-100 cooler to 100 warmer) trades red against blue, tint (-100 greener to 100
/// more magenta) lowers or raises green against the others, saturation (-100 grey to 100 double)
/// scales the distance from grey at constant luminance. All three 0 leave the image unchanged.
void temperatureTintSaturation(
    Bitmap& image, const Selection* selection, double temperature, double tint, double saturation);

} // namespace ie::proc
