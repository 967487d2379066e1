// Per-channel shifts: the colour balance that keeps brightness, and the plain channel intensity.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Shifts red, green and blue by -100 to 100 percent of the range each, then takes the luma of
/// the shift back out so that the overall brightness stays (only the balance changes).
void rgbBalance(Bitmap& image, const Selection* selection, double red, double green, double blue);

/// Adds -255 to 255 (in 8-bit units) to each channel, clamped: -255 removes a channel entirely.
void intensityRgb(Bitmap& image, const Selection* selection, int red, int green, int blue);

} // namespace ie::proc
