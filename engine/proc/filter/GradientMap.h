// Gradient map: replaces each pixel's brightness by a colour of a two-colour gradient.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Maps brightness 0 to `dark`, full brightness to `light` and the levels between to the
/// straight mix of the two; Gray8 images keep the brightness of the mapped colour. Rgba32 and
/// plane alpha are kept.
void gradientMap(Bitmap& image, Rgb dark, Rgb light, const Selection* selection = nullptr);

} // namespace ie::proc
