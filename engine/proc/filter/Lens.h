// Lens corrections and lens looks: radial distortion, fisheye, vignetting, chromatic aberration.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Radial distortion: `amount` > 0 (up to 100) bulges the middle out (barrel), < 0 pulls the
/// corners out (pincushion); applying the opposite amount corrects a lens of that kind.
void lensDistortion(Bitmap& image, double amount, const Selection* selection = nullptr);

/// Fisheye look of strength `amount` (0 to 100): equidistant projection of the inscribed circle.
void fisheye(Bitmap& image, double amount, const Selection* selection = nullptr);

/// Darkens (`amount` < 0, down to -100) or lightens (> 0) the corners; `midpoint` (0 to 100)
/// sets how far from the middle the change starts.
void vignette(
    Bitmap& image, double amount, double midpoint = 50, const Selection* selection = nullptr);

/// Scales the red and blue planes radially by `red` and `blue` per mille (-50 to 50) against
/// green: the fringes of a simple lens, or their correction with the opposite signs.
void chromaticAberration(
    Bitmap& image, double red, double blue, const Selection* selection = nullptr);

} // namespace ie::proc
