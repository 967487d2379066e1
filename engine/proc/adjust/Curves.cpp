#include "proc/adjust/Curves.h"

#include "imaging/Error.h"
#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ToneMap.h"

#include <algorithm>

namespace ie::proc {

bool ToneCurve::isIdentity() const {
    return std::all_of(
        points.begin(), points.end(), [](const CurvePoint& p) { return p.x == p.y; });
}

namespace {

void validateCurve(const ToneCurve& c) {
    if (c.points.size() < 2) throw Error("A curve needs at least two points.");
    for (std::size_t i = 0; i < c.points.size(); ++i) {
        detail::requireRange(c.points[i].x, 0, 255, "A curve point's input");
        detail::requireRange(c.points[i].y, 0, 255, "A curve point's output");
        if (i > 0 && c.points[i].x <= c.points[i - 1].x)
            throw Error("Curve points must be in increasing input order.");
    }
}

// Second derivatives of the natural cubic spline through the points (tridiagonal solve).
std::vector<double> splineMoments(const std::vector<CurvePoint>& p) {
    const std::size_t n = p.size();
    std::vector<double> m(n, 0.0), u(n, 0.0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double sig = (p[i].x - p[i - 1].x) / (p[i + 1].x - p[i - 1].x);
        const double q = sig * m[i - 1] + 2;
        m[i] = (sig - 1) / q;
        const double d = (p[i + 1].y - p[i].y) / (p[i + 1].x - p[i].x)
            - (p[i].y - p[i - 1].y) / (p[i].x - p[i - 1].x);
        u[i] = (6 * d / (p[i + 1].x - p[i - 1].x) - sig * u[i - 1]) / q;
    }
    m[n - 1] = 0;
    for (std::size_t k = n - 1; k-- > 0;)
        m[k] = m[k] * m[k + 1] + u[k];
    return m;
}

double splineAt(const std::vector<CurvePoint>& p, const std::vector<double>& m, double x) {
    if (x <= p.front().x) return p.front().y;
    if (x >= p.back().x) return p.back().y;
    const auto hi
        = std::size_t(std::upper_bound(p.begin(), p.end(), x, [](double v, const CurvePoint& q) {
              return v < q.x;
          }) - p.begin());
    const std::size_t lo = hi - 1;
    const double h = p[hi].x - p[lo].x, a = (p[hi].x - x) / h, b = (x - p[lo].x) / h;
    const double y = a * p[lo].y + b * p[hi].y
        + ((a * a * a - a) * m[lo] + (b * b * b - b) * m[hi]) * h * h / 6;
    return std::clamp(y, 0.0, 255.0);
}

// The curve sampled at 4096 points, so that the tone map reads a table instead of solving.
struct SampledCurve {
    std::vector<double> values;
    explicit SampledCurve(const ToneCurve& c)
        : values(4097) {
        const auto m = splineMoments(c.points);
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = splineAt(c.points, m, 255.0 * double(i) / 4096) / 255;
    }
    double operator()(double v) const {
        const double f = std::clamp(v, 0.0, 1.0) * 4096;
        const auto i = std::min<std::size_t>(std::size_t(f), 4095);
        return values[i] + (values[i + 1] - values[i]) * (f - double(i));
    }
};

} // namespace

void validateCurves(const CurvesParams& p) {
    for (const ToneCurve* c : { &p.master, &p.red, &p.green, &p.blue })
        validateCurve(*c);
}

double evaluateCurve(const ToneCurve& curve, double x) {
    validateCurve(curve);
    return splineAt(curve.points, splineMoments(curve.points), x);
}

void colorCurves(Bitmap& image, const Selection* selection, const CurvesParams& p) {
    validateCurves(p);
    detail::requireAdjustable(image, "Color Curve");
    if (p.master.isIdentity() && p.red.isIdentity() && p.green.isIdentity() && p.blue.isIdentity())
        return;
    const SampledCurve master(p.master),
        own[3] = { SampledCurve(p.red), SampledCurve(p.green), SampledCurve(p.blue) };
    applyToneMap(
        image, selection, [&](int c, double v) { return master(own[c](v)); }, "Color Curve");
}

} // namespace ie::proc
