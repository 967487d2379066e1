// Affine colour matrices (hue rotation, saturation, grey mixing, white balance) and their fast
// application: every output channel a weighted sum of the three input channels plus an offset.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <array>

namespace ie::proc {

/// out[i] = m[i][0] * r + m[i][1] * g + m[i][2] * b + m[i][3], samples from 0 to 1.
struct ColorMatrix {
    std::array<std::array<float, 4>, 3> m { { { 1, 0, 0, 0 }, { 0, 1, 0, 0 }, { 0, 0, 1, 0 } } };

    static ColorMatrix identity() { return {}; }
    /// Turns hues by `degrees` keeping luminance.
    static ColorMatrix hueRotation(double degrees);
    /// Scales the distance from grey by `factor` (0 grey, 1 unchanged), keeping luminance.
    static ColorMatrix saturation(double factor);
    /// Scales each channel.
    static ColorMatrix gains(double r, double g, double b);
    /// This matrix applied after `first`.
    ColorMatrix after(const ColorMatrix& first) const;
    bool isIdentity() const;
};

/// Applies the matrix to the selected pixels (Rgb24, Rgba32, Rgb48; grey images take the luma of
/// the result). Throws ie::Error naming `operation` for other formats.
void applyColorMatrix(
    Bitmap& image, const Selection* selection, const ColorMatrix& matrix, const char* operation);

/// The same inside `rect`, no selection handling.
void applyColorMatrixIn(Bitmap& image, Rect rect, const ColorMatrix& matrix);

} // namespace ie::proc
