// One channel of an image as a grey picture: red, green, blue; cyan, magenta, yellow, black; hue,
// saturation, value.
#pragma once

#include "imaging/Bitmap.h"

namespace ie::proc {

/// Red (0), green (1) or blue (2) as an 8-bit grey bitmap.
Bitmap rgbChannel(const Bitmap& image, int index);

/// Cyan (0), magenta (1), yellow (2) or black (3) as an 8-bit grey bitmap in which ink shows
/// dark, as on a printing plate (255 = no ink).
Bitmap cmykChannel(const Bitmap& image, int index);

/// Hue (0), saturation (1) or value (2) as an 8-bit grey bitmap (hue 0 to 360 degrees spread over
/// 0 to 255; grey pixels have hue 0).
Bitmap hsvChannel(const Bitmap& image, int index);

} // namespace ie::proc
