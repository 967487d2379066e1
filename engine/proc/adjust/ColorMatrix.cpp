#include "proc/adjust/ColorMatrix.h"

#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ToneMap.h"

#include <cmath>
#include <numbers>

namespace ie::proc {

namespace {

// Luminance weights of the hue and saturation matrices (the usual ones for display RGB).
constexpr double kR = 0.213, kG = 0.715, kB = 0.072;

constexpr int kShift = 14;

template <int Stride> void matrixRows8(Bitmap& image, Rect rect, const ColorMatrix& cm) {
    // Fixed point: 14 fraction bits keep every weight exact to 1/16384 and sums inside 32 bits.
    int k[3][4];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            k[i][j] = int(std::lround(cm.m[i][j] * (1 << kShift)));
        k[i][3] = int(std::lround(cm.m[i][3] * 255.0 * (1 << kShift))) + (1 << (kShift - 1));
    }
    detail::EditTarget target(image, rect);
    Bitmap& dst = target.dst();
    detail::forRows(dst, rect, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* row = dst.mutableScanline(y);
            std::uint8_t* o = row + std::size_t(rect.x) * Stride;
            const std::uint8_t* in = target.srcRow(y, row) + std::size_t(rect.x) * Stride;
            for (int x = 0; x < rect.w; ++x, o += Stride, in += Stride) {
                const int r = in[0], g = in[1], b = in[2];
                for (int i = 0; i < 3; ++i) {
                    const int v = (k[i][0] * r + k[i][1] * g + k[i][2] * b + k[i][3]) >> kShift;
                    o[i] = std::uint8_t(std::clamp(v, 0, 255));
                }
                if constexpr (Stride == 4) o[3] = in[3];
            }
        }
    });
    target.finish();
}

} // namespace

ColorMatrix ColorMatrix::hueRotation(double degrees) {
    const double a = std::cos(degrees * std::numbers::pi / 180),
                 s = std::sin(degrees * std::numbers::pi / 180);
    ColorMatrix c;
    c.m = { { { float(kR + a * (1 - kR) - s * kR), float(kG - a * kG - s * kG),
                  float(kB - a * kB + s * (1 - kB)), 0 },
        { float(kR - a * kR + s * 0.143), float(kG + a * (1 - kG) + s * 0.140),
            float(kB - a * kB - s * 0.283), 0 },
        { float(kR - a * kR - s * (1 - kR)), float(kG - a * kG + s * kG),
            float(kB + a * (1 - kB) + s * kB), 0 } } };
    return c;
}

ColorMatrix ColorMatrix::saturation(double f) {
    ColorMatrix c;
    c.m = { { { float(kR + (1 - kR) * f), float(kG - kG * f), float(kB - kB * f), 0 },
        { float(kR - kR * f), float(kG + (1 - kG) * f), float(kB - kB * f), 0 },
        { float(kR - kR * f), float(kG - kG * f), float(kB + (1 - kB) * f), 0 } } };
    return c;
}

ColorMatrix ColorMatrix::gains(double r, double g, double b) {
    ColorMatrix c;
    c.m[0][0] = float(r);
    c.m[1][1] = float(g);
    c.m[2][2] = float(b);
    return c;
}

ColorMatrix ColorMatrix::after(const ColorMatrix& first) const {
    ColorMatrix out;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            double v = j == 3 ? m[i][3] : 0;
            for (int k = 0; k < 3; ++k)
                v += double(m[i][k]) * first.m[k][j];
            out.m[i][j] = float(v);
        }
    }
    return out;
}

bool ColorMatrix::isIdentity() const {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j)
            if (std::abs(m[i][j] - (i == j ? 1.f : 0.f)) > 1e-6f) return false;
    return true;
}

void applyColorMatrixIn(Bitmap& image, Rect rect, const ColorMatrix& cm) {
    switch (image.pixelFormat()) {
    case PixelFormat::Rgb24:
        return matrixRows8<3>(image, rect, cm);
    case PixelFormat::Rgba32:
        return matrixRows8<4>(image, rect, cm);
    case PixelFormat::Gray8:
    case PixelFormat::Gray16:
        // A grey value maps to a grey value: one table does it.
        return applyToneMapIn(image, rect, [&](int c, double v) {
            return cm.m[c][0] * v + cm.m[c][1] * v + cm.m[c][2] * v + cm.m[c][3];
        });
    default:
        detail::forEachRgbIn(image, rect, [&](float& r, float& g, float& b, int, int) {
            const float in[3] = { r, g, b };
            float* out[3] = { &r, &g, &b };
            for (int i = 0; i < 3; ++i)
                *out[i] = cm.m[i][0] * in[0] + cm.m[i][1] * in[1] + cm.m[i][2] * in[2] + cm.m[i][3];
        });
    }
}

void applyColorMatrix(
    Bitmap& image, const Selection* selection, const ColorMatrix& matrix, const char* operation) {
    detail::requireAdjustable(image, operation);
    if (matrix.isIdentity()) return;
    editSelected(image, selection, [&](Bitmap& b, Rect r) { applyColorMatrixIn(b, r, matrix); });
}

} // namespace ie::proc
