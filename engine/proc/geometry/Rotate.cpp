#include "proc/geometry/Rotate.h"

#include "imaging/BitmapOps.h"
#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "imaging/Parallel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <type_traits>
#include <vector>

namespace ie::proc {

namespace {

constexpr int kSubBits = 6; // sub-pixel positions of the weight tables
constexpr int kSub = 1 << kSubBits;
constexpr int kWeightBits = 11; // two weights multiplied stay inside 32 bits for 8-bit samples
constexpr int kFracBits = 32; // fixed-point source coordinates: no drift across wide rows

using WeightTable = std::array<std::array<int, 4>, kSub>;

double keysCubic(double t) {
    constexpr double a = -0.5;
    t = std::abs(t);
    if (t < 1) return ((a + 2) * t - (a + 3)) * t * t + 1;
    if (t < 2) return ((a * t - 5 * a) * t + 8 * a) * t - 4 * a;
    return 0;
}

// Weights quantised so that each set sums exactly to one: flat areas stay flat.
WeightTable makeTable(int taps) {
    WeightTable table {};
    const int one = 1 << kWeightBits;
    for (int s = 0; s < kSub; ++s) {
        const double f = double(s) / kSub;
        auto& w = table[s];
        if (taps == 4) {
            const double d[4] = { 1 + f, f, 1 - f, 2 - f };
            int sum = 0;
            for (int i = 0; i < 4; ++i) {
                w[i] = int(std::lround(keysCubic(d[i]) * one));
                sum += w[i];
            }
            w[f < 0.5 ? 1 : 2] += one - sum;
        } else {
            w[1] = int(std::lround(f * one));
            w[0] = one - w[1];
        }
    }
    return table;
}

const WeightTable& weightTable(int taps) {
    static const WeightTable cubic = makeTable(4);
    static const WeightTable linear = makeTable(2);
    return taps == 4 ? cubic : linear;
}

// Filters N x N taps of C channels; rows[j] points at the first tap of row j.
template <class T, int C, int N>
inline void sampleTaps(const T* const* rows, const int* wx, const int* wy, T* out) {
    if constexpr (N == 1) {
        for (int c = 0; c < C; ++c)
            out[c] = rows[0][c];
    } else {
        using Acc = std::conditional_t<sizeof(T) == 1, std::int32_t, std::int64_t>;
        Acc acc[C] = {};
        for (int j = 0; j < N; ++j) {
            Acc h[C] = {};
            const T* p = rows[j];
            for (int i = 0; i < N; ++i)
                for (int c = 0; c < C; ++c)
                    h[c] += Acc(wx[i]) * p[i * C + c];
            for (int c = 0; c < C; ++c)
                acc[c] += Acc(wy[j]) * h[c];
        }
        constexpr Acc maxValue = Acc((1 << (8 * sizeof(T))) - 1);
        constexpr int shift = 2 * kWeightBits;
        for (int c = 0; c < C; ++c)
            out[c] = T(std::clamp<Acc>((acc[c] + (Acc(1) << (shift - 1))) >> shift, 0, maxValue));
    }
}

// Where output pixels come from: the inverse turn, centre onto centre.
struct Mapping {
    double cosA = 1, sinA = 0;
    double srcCx = 0, srcCy = 0, dstCx = 0, dstCy = 0;
    bool antialias = true;
    bool extend = false; // taps clamped at the border, nothing of the background shows
};

// What the uncovered area receives, per channel: blended towards `value` by coverage, or (for
// the colour under a transparent background) kept as sampled and set to `value` only where the
// image does not reach at all.
template <class T, int C> struct Background {
    T value[C] {};
    bool blend[C] {};
};

inline double edgeCoverage(double s, int size) {
    return std::clamp(std::min(s + 1.0, double(size) - s), 0.0, 1.0);
}

template <class T, int C, int N> struct PlaneRotator {
    std::vector<const T*> rows;
    int w = 0, h = 0;
    Mapping m;
    Background<T, C> bg;
    const WeightTable* table = &weightTable(N == 4 ? 4 : 2);

    void pixel(std::int64_t sxF, std::int64_t syF, T* out) const {
        constexpr int off = N == 4 ? 1 : 0;
        constexpr std::int64_t half = std::int64_t(1) << (kFracBits - 1);
        const std::int64_t fx0 = sxF >> kFracBits, fy0 = syF >> kFracBits;
        const int sx = int((sxF >> (kFracBits - kSubBits)) & (kSub - 1));
        const int sy = int((syF >> (kFracBits - kSubBits)) & (kSub - 1));
        const std::int64_t ix = N == 1 ? (sxF + half) >> kFracBits : fx0;
        const std::int64_t iy = N == 1 ? (syF + half) >> kFracBits : fy0;
        const int* wx = (*table)[std::size_t(sx)].data();
        const int* wy = (*table)[std::size_t(sy)].data();
        constexpr int reach = N == 4 ? 3 : 2; // taps from fx0 - off spanning `reach + 1` columns
        const bool interior = fx0 - off >= 0 && fx0 - off + reach < w + (N == 4 ? 0 : 1)
            && fy0 - off >= 0 && fy0 - off + reach < h + (N == 4 ? 0 : 1);
        if (interior) {
            const T* r[N];
            for (int j = 0; j < N; ++j)
                r[j] = rows[std::size_t(iy - off + j)] + (ix - off) * C;
            sampleTaps<T, C, N>(r, wx, wy, out);
            return;
        }
        edgePixel(sxF, syF, ix - off, iy - off, wx, wy, out);
    }

    void edgePixel(std::int64_t sxF, std::int64_t syF, std::int64_t x0, std::int64_t y0,
        const int* wx, const int* wy, T* out) const {
        double coverage = 1;
        if (!m.extend) {
            const double sx = std::ldexp(double(sxF), -kFracBits);
            const double sy = std::ldexp(double(syF), -kFracBits);
            if (m.antialias)
                coverage = edgeCoverage(sx, w) * edgeCoverage(sy, h);
            else
                coverage = sx >= -0.5 && sx < w - 0.5 && sy >= -0.5 && sy < h - 0.5 ? 1 : 0;
            if (coverage <= 0) {
                std::copy(bg.value, bg.value + C, out);
                return;
            }
        }
        T patch[N][N * C];
        const T* r[N];
        for (int j = 0; j < N; ++j) {
            const T* row = rows[std::size_t(std::clamp<std::int64_t>(y0 + j, 0, h - 1))];
            for (int i = 0; i < N; ++i) {
                const T* p = row + std::clamp<std::int64_t>(x0 + i, 0, w - 1) * C;
                std::copy(p, p + C, patch[j] + i * C);
            }
            r[j] = patch[j];
        }
        sampleTaps<T, C, N>(r, wx, wy, out);
        if (coverage >= 1) return;
        for (int c = 0; c < C; ++c)
            if (bg.blend[c])
                out[c] = T(std::lround(bg.value[c] + (double(out[c]) - bg.value[c]) * coverage));
    }

    template <class RowOf> void run(int outW, int outH, RowOf&& dstRow) const {
        constexpr double scale = 4294967296.0; // 2^kFracBits
        const std::int64_t dxF = std::llround(m.cosA * scale), dyF = std::llround(m.sinA * scale);
        parallelFor(
            0, outH,
            [&](int y0, int y1) {
                for (int y = y0; y < y1; ++y) {
                    const double dx = -m.dstCx, dy = y - m.dstCy;
                    std::int64_t sxF = std::llround((m.srcCx + dx * m.cosA - dy * m.sinA) * scale);
                    std::int64_t syF = std::llround((m.srcCy + dx * m.sinA + dy * m.cosA) * scale);
                    T* out = reinterpret_cast<T*>(dstRow(y));
                    for (int x = 0; x < outW; ++x, sxF += dxF, syF += dyF)
                        pixel(sxF, syF, out + std::size_t(x) * C);
                }
            },
            4);
    }
};

template <class T, int C, int N, class SrcRow, class DstRow>
void rotatePlane(int srcW, int srcH, SrcRow&& srcRow, int outW, int outH, DstRow&& dstRow,
    const Mapping& m, const Background<T, C>& bg) {
    PlaneRotator<T, C, N> r;
    r.w = srcW;
    r.h = srcH;
    r.m = m;
    r.bg = bg;
    r.rows.resize(std::size_t(srcH));
    for (int y = 0; y < srcH; ++y)
        r.rows[std::size_t(y)] = reinterpret_cast<const T*>(srcRow(y));
    r.run(outW, outH, dstRow);
}

template <class T, int C, class SrcRow, class DstRow>
void rotatePlaneBy(Interpolation interpolation, int srcW, int srcH, SrcRow&& srcRow, int outW,
    int outH, DstRow&& dstRow, const Mapping& m, const Background<T, C>& bg) {
    switch (interpolation) {
    case Interpolation::Nearest:
        return rotatePlane<T, C, 1>(srcW, srcH, srcRow, outW, outH, dstRow, m, bg);
    case Interpolation::Bilinear:
        return rotatePlane<T, C, 2>(srcW, srcH, srcRow, outW, outH, dstRow, m, bg);
    case Interpolation::Bicubic:
        return rotatePlane<T, C, 4>(srcW, srcH, srcRow, outW, outH, dstRow, m, bg);
    }
}

// The bytes `color` takes in `format`.
std::array<std::uint8_t, 8> colorBytes(PixelFormat format, Rgba color) {
    Bitmap one(1, 1, format);
    one.setPixel(0, 0, color);
    std::array<std::uint8_t, 8> bytes {};
    std::memcpy(bytes.data(), one.scanline(0), std::size_t(bitsPerPixel(format) / 8));
    return bytes;
}

template <class T, int C>
void rotateColor(const Bitmap& src, Bitmap& dst, const Mapping& m, Interpolation interpolation,
    const std::optional<Rgba>& background) {
    Background<T, C> bg;
    const auto bytes = colorBytes(src.pixelFormat(), background.value_or(Rgba { 0, 0, 0, 0 }));
    std::memcpy(bg.value, bytes.data(), sizeof(T) * C);
    for (int c = 0; c < C; ++c)
        bg.blend[c] = background.has_value();
    if (src.pixelFormat() == PixelFormat::Rgba32) bg.blend[3] = true; // alpha fades at the edge
    rotatePlaneBy<T, C>(
        interpolation, src.width(), src.height(), [&](int y) { return src.scanline(y); },
        dst.width(), dst.height(), [&](int y) { return dst.mutableScanline(y); }, m, bg);
}

void rotateAlphaPlane(const Bitmap& src, Bitmap& dst, const Mapping& m, Interpolation interpolation,
    const std::optional<Rgba>& background) {
    Background<std::uint8_t, 1> bg;
    bg.value[0] = background ? background->a : 0;
    bg.blend[0] = true;
    const auto dstRow = [&](int y) { return dst.mutableAlphaLine(y); };
    if (src.hasAlphaPlane())
        rotatePlaneBy<std::uint8_t, 1>(
            interpolation, src.width(), src.height(), [&](int y) { return src.alphaLine(y); },
            dst.width(), dst.height(), dstRow, m, bg);
    else { // an opaque source: one row of 255 stands for every row
        const std::vector<std::uint8_t> opaque(std::size_t(src.width()), 255);
        rotatePlaneBy<std::uint8_t, 1>(
            interpolation, src.width(), src.height(), [&](int) { return opaque.data(); },
            dst.width(), dst.height(), dstRow, m, bg);
    }
}

Bitmap rotateOnto(const Bitmap& source, double degrees, int outW, int outH,
    Interpolation interpolation, const std::optional<Rgba>& background, bool antialias,
    bool extend) {
    Plane::checkSize(outW, outH);
    Bitmap src = source;
    if (src.pixelFormat() == PixelFormat::Bw1) src = convertTo(src, PixelFormat::Gray8);
    if (src.pixelFormat() == PixelFormat::Palette8) src = convertTo(src, PixelFormat::Rgb24);
    const PixelFormat f = src.pixelFormat();

    Mapping m;
    const double rad = degrees * std::numbers::pi / 180.0;
    m.cosA = std::cos(rad);
    m.sinA = std::sin(rad);
    m.srcCx = (src.width() - 1) / 2.0;
    m.srcCy = (src.height() - 1) / 2.0;
    m.dstCx = (outW - 1) / 2.0;
    m.dstCy = (outH - 1) / 2.0;
    m.antialias = antialias;
    m.extend = extend;

    Bitmap dst(outW, outH, f);
    dst.setDpi(src.dpiX(), src.dpiY());
    const bool alphaPlane
        = f != PixelFormat::Rgba32 && (src.hasAlphaPlane() || (!background && !extend));
    if (alphaPlane) dst.addAlphaPlane();

    switch (f) {
    case PixelFormat::Gray8:
        rotateColor<std::uint8_t, 1>(src, dst, m, interpolation, background);
        break;
    case PixelFormat::Rgb24:
        rotateColor<std::uint8_t, 3>(src, dst, m, interpolation, background);
        break;
    case PixelFormat::Rgba32:
    case PixelFormat::Cmyk32:
        rotateColor<std::uint8_t, 4>(src, dst, m, interpolation, background);
        break;
    case PixelFormat::Gray16:
        rotateColor<std::uint16_t, 1>(src, dst, m, interpolation, background);
        break;
    case PixelFormat::Rgb48:
        rotateColor<std::uint16_t, 3>(src, dst, m, interpolation, background);
        break;
    default:
        throw Error("This pixel format cannot be rotated.");
    }
    if (alphaPlane) rotateAlphaPlane(src, dst, m, interpolation, background);
    return dst;
}

// A quarter-turn count when `degrees` is a multiple of 90, else -1.
int quarterTurns(double degrees) {
    const double q = degrees / 90.0;
    const double r = std::round(q);
    if (std::abs(q - r) > 1e-9) return -1;
    return int(((std::int64_t(r) % 4) + 4) % 4);
}

Bitmap turnQuarters(const Bitmap& src, int quarters) {
    // quarters count anticlockwise; rotateRightAngle counts clockwise
    return quarters == 0 ? src : rotateRightAngle(src, 360 - 90 * quarters);
}

} // namespace

Bitmap rotate(const Bitmap& src, double degrees, const RotateOptions& options) {
    if (!std::isfinite(degrees)) throw Error("The rotation angle is not a number.");
    if (src.isNull()) return src;
    if (const int q = quarterTurns(degrees); q >= 0) return turnQuarters(src, q);
    const double rad = degrees * std::numbers::pi / 180.0;
    const double c = std::abs(std::cos(rad)), s = std::abs(std::sin(rad));
    const double w = src.width(), h = src.height();
    const int outW = std::max(1, int(std::ceil(w * c + h * s - 1e-6)));
    const int outH = std::max(1, int(std::ceil(w * s + h * c - 1e-6)));
    return rotateOnto(src, degrees, outW, outH, options.interpolation, options.background,
        options.antialias, false);
}

Rect largestInnerRect(int width, int height, double degrees) {
    const double rad = degrees * std::numbers::pi / 180.0;
    const double s = std::abs(std::sin(rad)), c = std::abs(std::cos(rad));
    const double w = width, h = height;
    const bool wide = w >= h;
    const double longSide = wide ? w : h, shortSide = wide ? h : w;
    double wr, hr;
    if (shortSide <= 2.0 * s * c * longSide || std::abs(s - c) < 1e-10) {
        // the rectangle touches both long sides: a corner-to-corner fit
        const double x = 0.5 * shortSide;
        wr = wide ? x / s : x / c;
        hr = wide ? x / c : x / s;
    } else {
        const double cos2 = c * c - s * s;
        wr = (w * c - h * s) / cos2;
        hr = (h * c - w * s) / cos2;
    }
    const int iw = std::clamp(int(std::floor(wr + 1e-6)), 1, std::max(1, width + height));
    const int ih = std::clamp(int(std::floor(hr + 1e-6)), 1, std::max(1, width + height));
    return { 0, 0, iw, ih };
}

Bitmap rotateAndCrop(const Bitmap& src, double degrees, Interpolation interpolation) {
    if (!std::isfinite(degrees)) throw Error("The rotation angle is not a number.");
    if (src.isNull()) return src;
    if (const int q = quarterTurns(degrees); q >= 0) return turnQuarters(src, q);
    const Rect r = largestInnerRect(src.width(), src.height(), degrees);
    return rotateOnto(src, degrees, r.w, r.h, interpolation, std::nullopt, true, true);
}

} // namespace ie::proc
