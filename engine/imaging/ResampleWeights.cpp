#include "ResampleWeights.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ie::rs {

namespace {

double box(double x) {
    // Half-open so that a centre exactly between two samples picks one, not both or none.
    return x >= -0.5 && x < 0.5 ? 1.0 : 0.0;
}

double triangle(double x) {
    x = std::abs(x);
    return x < 1 ? 1 - x : 0;
}

double hermite(double x) {
    x = std::abs(x);
    return x < 1 ? (2 * x - 3) * x * x + 1 : 0;
}

double bell(double x) {
    x = std::abs(x);
    if (x < 0.5) return 0.75 - x * x;
    if (x < 1.5) return 0.5 * (x - 1.5) * (x - 1.5);
    return 0;
}

double bSpline(double x) {
    x = std::abs(x);
    if (x < 1) return (0.5 * x - 1) * x * x + 2.0 / 3;
    if (x < 2) return (2 - x) * (2 - x) * (2 - x) / 6;
    return 0;
}

double sinc(double x) {
    if (x == 0) return 1;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double lanczos3(double x) {
    return std::abs(x) < 3 ? sinc(x) * sinc(x / 3) : 0;
}

// Mitchell-Netravali with B = C = 1/3.
double mitchell(double x) {
    constexpr double B = 1.0 / 3, C = 1.0 / 3;
    x = std::abs(x);
    if (x < 1)
        return ((12 - 9 * B - 6 * C) * x * x * x + (-18 + 12 * B + 6 * C) * x * x + (6 - 2 * B))
            / 6;
    if (x < 2)
        return ((-B - 6 * C) * x * x * x + (6 * B + 30 * C) * x * x + (-12 * B - 48 * C) * x
                   + (8 * B + 24 * C))
            / 6;
    return 0;
}

// Catmull-Rom (Keys' cubic with a = -0.5): interpolating, sharp.
double catmullRom(double x) {
    constexpr double a = -0.5;
    x = std::abs(x);
    if (x < 1) return ((a + 2) * x - (a + 3)) * x * x + 1;
    if (x < 2) return ((a * x - 5 * a) * x + 8 * a) * x - 4 * a;
    return 0;
}

FilterSpec convolve(double support, double (*kernel)(double), bool widen = true) {
    return { Method::Convolve, support, kernel, widen };
}

int roundUp(int v, int multiple) {
    return (v + multiple - 1) / multiple * multiple;
}

// One destination sample's weights before padding: clamped source window [lo, lo + w.size()).
struct RawEntry {
    int lo = 0;
    int offset = 0; // into the shared weight buffer
    int count = 0;
};

void toFixed(const float* w, int n, std::int16_t* out) {
    constexpr int one = 1 << kWeightBits;
    int sum = 0, biggest = 0;
    for (int k = 0; k < n; ++k) {
        out[k] = static_cast<std::int16_t>(std::lround(w[k] * one));
        sum += out[k];
        if (std::abs(w[k]) > std::abs(w[biggest])) biggest = k;
    }
    // The rounding error goes to the largest weight, so flat areas stay exactly flat.
    out[biggest] = static_cast<std::int16_t>(out[biggest] + one - sum);
}

} // namespace

FilterSpec filterSpec(ResampleFilter filter) {
    using F = ResampleFilter;
    switch (filter) {
    case F::Triangle:
    case F::Linear:
    case F::Bilinear:
        return convolve(1, triangle);
    case F::FastLinear:
    case F::WICLinear:
        return convolve(1, triangle, false);
    case F::Hermite:
        return convolve(1, hermite);
    case F::Bell:
        return convolve(1.5, bell);
    case F::BSpline:
        return convolve(2, bSpline);
    case F::Lanczos3:
        return convolve(3, lanczos3);
    case F::Mitchell:
        return convolve(2, mitchell);
    case F::Bicubic:
    case F::WICCubicHQ:
        return convolve(2, catmullRom);
    case F::WICCubic:
        return convolve(2, catmullRom, false);
    case F::WICFant:
        return convolve(0.5, box);
    case F::ProjectBW:
        return { Method::Darkest, 0.5, box, true };
    case F::ProjectWB:
        return { Method::Lightest, 0.5, box, true };
    case F::None:
    case F::Nearest:
    case F::WICNearestNeighbor:
        break;
    }
    return {};
}

WeightTable makeWeights(
    int srcLen, int dstLen, double origin, double span, const FilterSpec& spec, int tapMultiple) {
    const double scale = span / dstLen;
    const bool identity = scale == 1 && origin == std::floor(origin);
    const double stretch = spec.widen ? std::max(1.0, scale) : 1.0;
    const double support = identity ? 0.5 : spec.support * stretch;
    double (*kernel)(double) = identity ? box : spec.kernel;

    std::vector<RawEntry> entries(dstLen);
    std::vector<float> weights;
    std::vector<double> window;
    int longest = 1;
    for (int i = 0; i < dstLen; ++i) {
        const double centre = origin + (i + 0.5) * scale - 0.5;
        const int first = static_cast<int>(std::ceil(centre - support));
        const int last = std::max(first, static_cast<int>(std::ceil(centre + support)) - 1);
        const int lo = std::clamp(first, 0, srcLen - 1), hi = std::clamp(last, 0, srcLen - 1);
        window.assign(hi - lo + 1, 0.0);
        double total = 0;
        for (int j = first; j <= last; ++j) {
            const double w = kernel((j - centre) / stretch);
            window[std::clamp(j, 0, srcLen - 1) - lo] += w;
            total += w;
        }
        int a = 0, b = static_cast<int>(window.size());
        if (total <= 1e-12) { // a degenerate footprint falls back to the nearest sample
            std::fill(window.begin(), window.end(), 0.0);
            window[std::clamp(static_cast<int>(std::floor(centre + 0.5)), lo, hi) - lo] = 1;
            total = 1;
        }
        while (a < b - 1 && window[a] == 0)
            ++a;
        while (b - 1 > a && window[b - 1] == 0)
            --b;
        entries[i] = { lo + a, static_cast<int>(weights.size()), b - a };
        for (int k = a; k < b; ++k)
            weights.push_back(static_cast<float>(window[k] / total));
        longest = std::max(longest, b - a);
    }

    WeightTable t;
    t.taps = std::min(srcLen, roundUp(longest, tapMultiple));
    t.start.resize(dstLen);
    t.real.assign(std::size_t(dstLen) * t.taps, 0.0f);
    t.fixed.assign(std::size_t(dstLen) * t.taps, 0);
    for (int i = 0; i < dstLen; ++i) {
        const RawEntry& e = entries[i];
        const int start = std::min(e.lo, srcLen - t.taps);
        t.start[i] = start;
        float* real = t.real.data() + std::size_t(i) * t.taps;
        std::copy_n(weights.data() + e.offset, e.count, real + (e.lo - start));
        toFixed(real, t.taps, t.fixed.data() + std::size_t(i) * t.taps);
    }
    return t;
}

std::vector<int> nearestIndices(int srcLen, int dstLen, double origin, double span) {
    std::vector<int> idx(dstLen);
    const double scale = span / dstLen;
    for (int i = 0; i < dstLen; ++i)
        idx[i]
            = std::clamp(static_cast<int>(std::floor(origin + (i + 0.5) * scale)), 0, srcLen - 1);
    return idx;
}

} // namespace ie::rs
