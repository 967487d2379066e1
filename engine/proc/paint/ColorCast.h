// Colour replacement: every pixel near a picked colour takes a new colour.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Gives `newColor` (its RGB; alpha is kept) to every selected pixel whose red, green and blue
/// each differ from `color` by at most `tolerance` (0 to 255). Returns the pixels changed.
std::int64_t castColorRange(
    Bitmap& image, Rgba color, Rgba newColor, int tolerance, const Selection* selection = nullptr);

} // namespace ie::proc
