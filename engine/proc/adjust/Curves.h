// Colour curves: a smooth spline through control points, for all channels and per channel.
#pragma once

#include "document/Selection.h"
#include "imaging/Bitmap.h"

#include <vector>

namespace ie::proc {

/// A control point in 8-bit units: input x maps to output y (both 0 to 255).
struct CurvePoint {
    double x = 0, y = 0;
    friend bool operator==(const CurvePoint&, const CurvePoint&) = default;
};

/// A tone curve: at least two points with strictly increasing x; flat beyond the end points.
struct ToneCurve {
    std::vector<CurvePoint> points { { 0, 0 }, { 255, 255 } };
    bool isIdentity() const;
    friend bool operator==(const ToneCurve&, const ToneCurve&) = default;
};

/// The channel curves apply first, then the master curve to all three.
struct CurvesParams {
    ToneCurve master, red, green, blue;
};

/// Throws ie::Error unless every curve has two or more points, x strictly increasing, all in range.
void validateCurves(const CurvesParams& params);

/// The natural cubic spline through the curve's points at `x` (0 to 255), clamped to 0 to 255.
double evaluateCurve(const ToneCurve& curve, double x);

/// Applies the curves to the selected pixels.
void colorCurves(Bitmap& image, const Selection* selection, const CurvesParams& params);

} // namespace ie::proc
