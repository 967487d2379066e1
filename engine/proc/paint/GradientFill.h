// Two-colour gradient fills in the 17 directions of GradientKind.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"
#include "layers/GradientKind.h"

namespace ie::proc {

/// Where a pixel centre (x, y) of `area` sits between colour 1 (0) and colour 2 (1) for `kind`:
/// the same geometry as the vector layers' gradient fills.
double gradientPosition(GradientKind kind, const Rect& area, double x, double y);

/// Fills the selection's bounds (or the whole image) with a gradient from `color1` to `color2`
/// (alpha included where the image has alpha); None fills with `color1`.
void fillGradient(Bitmap& image, Rgba color1, Rgba color2, GradientKind kind,
    const Selection* selection = nullptr);

} // namespace ie::proc
