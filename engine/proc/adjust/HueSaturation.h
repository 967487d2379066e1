// Hue, saturation and luminosity, for all colours or for one colour range.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// The colour ranges an adjustment can be limited to; the numbers are stored in effect texts.
enum class ColorRange : int { All = 0, Reds, Yellows, Greens, Cyans, Blues, Magentas };
inline constexpr int kColorRangeCount = 7;

/// Turns hues by `hue` degrees (-180 to 180), scales saturation (-100 grey to 100 double) and
/// moves luminosity (-100 black to 100 white) of the selected pixels. With a range other than All,
/// only pixels of that hue change (fully within 15 degrees of its centre, fading out by 45);
/// near-grey pixels, which have no hue, are left alone.
void hueSaturationLuminosity(Bitmap& image, const Selection* selection, ColorRange range,
    double hue, double saturation, double luminosity);

} // namespace ie::proc
