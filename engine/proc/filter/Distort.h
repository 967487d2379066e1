// Distortions: wave, twirl, pinch, spherize and ripple, centred on the work area.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

namespace ie::proc {

/// Shifts columns and rows along sine waves of `amplitude` pixels and `wavelength` pixels,
/// starting at `phaseDegrees`. Amplitude 0 leaves the image as it is.
void wave(Bitmap& image, double amplitude, double wavelength, double phaseDegrees = 0,
    const Selection* selection = nullptr);

/// Turns the middle by `angleDegrees`, less and less towards the edge of the inscribed circle.
void twirl(Bitmap& image, double angleDegrees, const Selection* selection = nullptr);

/// Pulls the middle in (`amount` > 0, up to 1) or pushes it out (< 0, down to -1).
void pinch(Bitmap& image, double amount, const Selection* selection = nullptr);

/// Bulges the inscribed circle as if wrapped on a sphere (`amount` 0 to 1; negative values
/// hollow it).
void spherize(Bitmap& image, double amount, const Selection* selection = nullptr);

/// Concentric ripples of `amplitude` and `wavelength` pixels around the middle.
void ripple(
    Bitmap& image, double amplitude, double wavelength, const Selection* selection = nullptr);

} // namespace ie::proc
