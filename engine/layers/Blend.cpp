#include "Blend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <numbers>

namespace ie {

namespace {

int clamp8(int v) {
    return std::clamp(v, 0, 255);
}

// Per-channel results of the separable operations; b = backdrop, s = source.
int separable(BlendOperation op, int b, int s) {
    switch (op) {
    case BlendOperation::Normal:
        return s;
    case BlendOperation::Add:
        return std::min(255, b + s);
    case BlendOperation::Sub:
        return std::max(0, b - s);
    case BlendOperation::Div:
        return s == 0 ? 255 : std::min(255, b * 255 / s);
    case BlendOperation::Mul:
        return div255(b * s);
    case BlendOperation::Or:
        return b | s;
    case BlendOperation::And:
        return b & s;
    case BlendOperation::Xor:
        return b ^ s;
    case BlendOperation::Max:
        return std::max(b, s);
    case BlendOperation::Min:
        return std::min(b, s);
    case BlendOperation::Average:
        return (b + s) >> 1;
    case BlendOperation::Screen:
        return 255 - div255((255 - b) * (255 - s));
    case BlendOperation::Negation:
        return 255 - std::abs(255 - b - s);
    case BlendOperation::Exclusion:
        return b + s - 2 * div255(b * s);
    case BlendOperation::Overlay:
        return b < 128 ? div255(2 * b * s) : 255 - div255(2 * (255 - b) * (255 - s));
    case BlendOperation::HardLight:
        return s < 128 ? div255(2 * b * s) : 255 - div255(2 * (255 - b) * (255 - s));
    case BlendOperation::SoftLight: {
        const int m = div255(b * s);
        const int scr = 255 - div255((255 - b) * (255 - s));
        return div255((255 - b) * m + b * scr);
    }
    case BlendOperation::XFader:
        return div255(s * s + b * (255 - s));
    case BlendOperation::ColorEdge: // colour dodge
        return s == 255 ? 255 : std::min(255, b * 255 / (255 - s));
    case BlendOperation::ColorBurn:
        return s == 0 ? 0 : std::max(0, 255 - (255 - b) * 255 / s);
    case BlendOperation::InverseColorDodge:
        return b == 255 ? 255 : std::min(255, s * 255 / (255 - b));
    case BlendOperation::InverseColorBurn:
        return b == 0 ? 0 : std::max(0, 255 - (255 - s) * 255 / b);
    case BlendOperation::SoftDodge:
        if (b + s < 256) return s == 255 ? 255 : std::min(255, b * 128 / (255 - s));
        return std::max(0, 255 - (255 - s) * 128 / b);
    case BlendOperation::SoftBurn:
        if (b + s < 256) return b == 255 ? 255 : std::min(255, s * 128 / (255 - b));
        return std::max(0, 255 - (255 - b) * 128 / s);
    case BlendOperation::Reflect:
        return s == 255 ? 255 : std::min(255, b * b / (255 - s));
    case BlendOperation::Glow:
        return b == 255 ? 255 : std::min(255, s * s / (255 - b));
    case BlendOperation::Freeze:
        return s == 0 ? 0 : std::max(0, 255 - (255 - b) * (255 - b) / s);
    case BlendOperation::Eat:
        return b == 0 ? 0 : std::max(0, 255 - (255 - s) * (255 - s) / b);
    case BlendOperation::Subtractive:
        return std::max(0, b + s - 255);
    case BlendOperation::Interpolation: {
        const double c = 0.5 - 0.25 * std::cos(std::numbers::pi * b / 255.0)
            - 0.25 * std::cos(std::numbers::pi * s / 255.0);
        return clamp8(static_cast<int>(std::lround(c * 255)));
    }
    case BlendOperation::Stamp:
        return clamp8(b + 2 * s - 256);
    default:
        return s;
    }
}

constexpr int kSeparableCount = static_cast<int>(BlendOperation::Stamp) + 1;

// 256 x 256 result tables of the separable operations, built once on first use.
const std::uint8_t* table(BlendOperation op) {
    static std::array<std::unique_ptr<std::uint8_t[]>, kSeparableCount> tables;
    static std::array<std::once_flag, kSeparableCount> once;
    const int i = static_cast<int>(op);
    std::call_once(once[i], [&] {
        tables[i] = std::make_unique<std::uint8_t[]>(256 * 256);
        for (int b = 0; b < 256; ++b)
            for (int s = 0; s < 256; ++s)
                tables[i][b * 256 + s] = static_cast<std::uint8_t>(clamp8(separable(op, b, s)));
    });
    return tables[i].get();
}

// Non-separable helpers on 0..255 channels (the usual luminosity/saturation model).
int lum(int r, int g, int b) {
    return (r * 77 + g * 151 + b * 28 + 128) >> 8;
}

Rgb clipColor(int r, int g, int b) {
    const int l = lum(r, g, b);
    const int n = std::min({ r, g, b }), x = std::max({ r, g, b });
    if (n < 0) {
        r = l + (r - l) * l / std::max(1, l - n);
        g = l + (g - l) * l / std::max(1, l - n);
        b = l + (b - l) * l / std::max(1, l - n);
    }
    if (x > 255) {
        r = l + (r - l) * (255 - l) / std::max(1, x - l);
        g = l + (g - l) * (255 - l) / std::max(1, x - l);
        b = l + (b - l) * (255 - l) / std::max(1, x - l);
    }
    return { std::uint8_t(clamp8(r)), std::uint8_t(clamp8(g)), std::uint8_t(clamp8(b)) };
}

Rgb setLum(Rgb c, int l) {
    const int d = l - lum(c.r, c.g, c.b);
    return clipColor(c.r + d, c.g + d, c.b + d);
}

int sat(Rgb c) {
    return std::max({ c.r, c.g, c.b }) - std::min({ c.r, c.g, c.b });
}

Rgb setSat(Rgb c, int s) {
    int v[3] = { c.r, c.g, c.b };
    int* mx = std::max_element(v, v + 3);
    int* mn = std::min_element(v, v + 3);
    if (mx == mn) return { 0, 0, 0 };
    int* md = v + (3 - (mx - v) - (mn - v));
    const int range = *mx - *mn;
    *md = (*md - *mn) * s / range;
    *mx = s;
    *mn = 0;
    return { std::uint8_t(v[0]), std::uint8_t(v[1]), std::uint8_t(v[2]) };
}

} // namespace

Rgb blendColor(BlendOperation op, Rgb b, Rgb s, int row) {
    const int n = static_cast<int>(op);
    if (n < kSeparableCount) {
        const std::uint8_t* t = table(op);
        return { t[b.r * 256 + s.r], t[b.g * 256 + s.g], t[b.b * 256 + s.b] };
    }
    switch (op) {
    case BlendOperation::Red:
        return { s.r, b.g, b.b };
    case BlendOperation::Green:
        return { b.r, s.g, b.b };
    case BlendOperation::Blue:
        return { b.r, b.g, s.b };
    case BlendOperation::Hue:
        return setLum(setSat(s, sat(b)), lum(b.r, b.g, b.b));
    case BlendOperation::Saturation:
        return setLum(setSat(b, sat(s)), lum(b.r, b.g, b.b));
    case BlendOperation::Color:
        return setLum(s, lum(b.r, b.g, b.b));
    case BlendOperation::Luminosity:
        return setLum(b, lum(s.r, s.g, s.b));
    case BlendOperation::StereoBW: {
        // Red-cyan anaglyph: the layer is the left eye, the backdrop the right eye.
        const std::uint8_t l = lumaOf(s.r, s.g, s.b), r = lumaOf(b.r, b.g, b.b);
        return { l, r, r };
    }
    case BlendOperation::StereoColor:
        return { s.r, b.g, b.b };
    case BlendOperation::StereoColorDubois: {
        // The least-squares anaglyph matrices, in fixed point (x 1000).
        const int r = (456 * s.r + 500 * s.g + 176 * s.b - 43 * b.r - 88 * b.g - 2 * b.b) / 1000;
        const int g = (-40 * s.r - 38 * s.g - 16 * s.b + 378 * b.r + 734 * b.g - 18 * b.b) / 1000;
        const int bl = (-15 * s.r - 21 * s.g - 5 * s.b - 72 * b.r - 113 * b.g + 1226 * b.b) / 1000;
        return { std::uint8_t(clamp8(r)), std::uint8_t(clamp8(g)), std::uint8_t(clamp8(bl)) };
    }
    case BlendOperation::StereoEven:
        return (row & 1) == 0 ? s : b;
    case BlendOperation::StereoOdd:
        return (row & 1) == 1 ? s : b;
    case BlendOperation::Luminosity2: {
        // Lightness (max + min) / 2 instead of weighted luma.
        const int ls = (std::max({ s.r, s.g, s.b }) + std::min({ s.r, s.g, s.b })) / 2;
        const int lb = (std::max({ b.r, b.g, b.b }) + std::min({ b.r, b.g, b.b })) / 2;
        return clipColor(b.r + ls - lb, b.g + ls - lb, b.b + ls - lb);
    }
    default:
        return s;
    }
}

namespace {

// Source-over of the blended colour: where the backdrop is transparent the plain source
// colour is used, so blend modes never invent colour over nothing.
inline void composite(std::uint8_t* d, Rgb blended, const std::uint8_t* s, int a) {
    const int ab = d[3];
    if (ab == 255) {
        d[0] = std::uint8_t(div255(blended.r * a + d[0] * (255 - a)));
        d[1] = std::uint8_t(div255(blended.g * a + d[1] * (255 - a)));
        d[2] = std::uint8_t(div255(blended.b * a + d[2] * (255 - a)));
        return;
    }
    const int ao = a + ab - div255(a * ab);
    if (ao == 0) return;
    const int keep = div255(ab * (255 - a));
    const std::uint8_t bl[3] = { blended.r, blended.g, blended.b };
    for (int c = 0; c < 3; ++c) {
        const int mixed = div255(s[c] * (255 - ab) + bl[c] * ab);
        d[c] = std::uint8_t((mixed * a + d[c] * keep + ao / 2) / ao);
    }
    d[3] = std::uint8_t(ao);
}

void normalSpan(
    std::uint8_t* dst, const std::uint8_t* rgb, int step, const std::uint8_t* cov, int n) {
    for (int i = 0; i < n; ++i, dst += 4, rgb += step) {
        const int a = cov ? cov[i] : 255;
        if (a == 0) continue;
        if (a == 255) {
            dst[0] = rgb[0];
            dst[1] = rgb[1];
            dst[2] = rgb[2];
            dst[3] = 255;
        } else if (dst[3] == 255) {
            const int k = 255 - a;
            dst[0] = std::uint8_t(div255(rgb[0] * a + dst[0] * k));
            dst[1] = std::uint8_t(div255(rgb[1] * a + dst[1] * k));
            dst[2] = std::uint8_t(div255(rgb[2] * a + dst[2] * k));
        } else {
            composite(dst, { rgb[0], rgb[1], rgb[2] }, rgb, a);
        }
    }
}

} // namespace

void blendSpan(BlendOperation op, std::uint8_t* dst, const std::uint8_t* rgb, int rgbStep,
    const std::uint8_t* cov, int n, int row) {
    if (op == BlendOperation::Normal) {
        normalSpan(dst, rgb, rgbStep, cov, n);
        return;
    }
    const bool lut = static_cast<int>(op) < kSeparableCount;
    const std::uint8_t* t = lut ? table(op) : nullptr;
    for (int i = 0; i < n; ++i, dst += 4, rgb += rgbStep) {
        const int a = cov ? cov[i] : 255;
        if (a == 0) continue;
        const Rgb blended = lut
            ? Rgb { t[dst[0] * 256 + rgb[0]], t[dst[1] * 256 + rgb[1]], t[dst[2] * 256 + rgb[2]] }
            : blendColor(op, { dst[0], dst[1], dst[2] }, { rgb[0], rgb[1], rgb[2] }, row);
        composite(dst, blended, rgb, a);
    }
}

} // namespace ie
