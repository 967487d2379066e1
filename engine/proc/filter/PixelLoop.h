// Loops for per-pixel effects: colour functions of position and inverse-mapped distortions,
// written once for every filterable format.
#pragma once

#include "imaging/Parallel.h"
#include "proc/MaskBlend.h"
#include "proc/filter/FilterCore.h"

#include <cmath>

namespace ie::proc::detail {

/// Runs `fn(x, y, v, n)` on every pixel of the work rectangle, `v` holding its `n` colour
/// samples (1 or 3) scaled to 0..1; the results are stored back, alpha untouched.
template <class Fn>
void pointEffect(Bitmap& image, const Selection* selection, const char* what, Fn&& fn) {
    requireFilterable(image, what);
    editSelected(image, selection, [&](Bitmap& img, Rect rect) {
        img.detachRows(rect.y, rect.bottom());
        dispatch(img.pixelFormat(), [&](auto layout) {
            using L = decltype(layout);
            using T = typename L::Sample;
            constexpr int C = L::channels, n = C == 1 ? 1 : 3;
            const float scale = L::maxValue;
            parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
                for (int y = y0; y < y1; ++y) {
                    T* p = mutableRow<T>(img, y) + std::size_t(rect.x) * C;
                    for (int x = rect.x; x < rect.right(); ++x, p += C) {
                        float v[3];
                        for (int c = 0; c < n; ++c)
                            v[c] = float(p[c]) / scale;
                        fn(x, y, v, n);
                        for (int c = 0; c < n; ++c)
                            p[c] = T(std::clamp(v[c], 0.f, 1.f) * scale + 0.5f);
                    }
                }
            });
        });
    });
}

/// Bilinear sample of all samples of a pixel at (fx, fy), coordinates clamped to the image.
template <class T, int C>
inline void sampleBilinear(const Bitmap& src, float fx, float fy, float* out) {
    fx = std::clamp(fx, 0.f, float(src.width() - 1));
    fy = std::clamp(fy, 0.f, float(src.height() - 1));
    const int x0 = int(fx), y0 = int(fy);
    const int x1 = std::min(x0 + 1, src.width() - 1), y1 = std::min(y0 + 1, src.height() - 1);
    const float wx = fx - float(x0), wy = fy - float(y0);
    const T* a = row<T>(src, y0);
    const T* b = row<T>(src, y1);
    for (int c = 0; c < C; ++c) {
        const float top = float(a[x0 * C + c]) + (float(a[x1 * C + c]) - float(a[x0 * C + c])) * wx;
        const float bot = float(b[x0 * C + c]) + (float(b[x1 * C + c]) - float(b[x0 * C + c])) * wx;
        out[c] = top + (bot - top) * wy;
    }
}

/// Bilinear sample of the alpha plane at (fx, fy), coordinates clamped to the image.
inline float sampleAlphaPlane(const Bitmap& src, float fx, float fy) {
    fx = std::clamp(fx, 0.f, float(src.width() - 1));
    fy = std::clamp(fy, 0.f, float(src.height() - 1));
    const int x0 = int(fx), y0 = int(fy);
    const int x1 = std::min(x0 + 1, src.width() - 1), y1 = std::min(y0 + 1, src.height() - 1);
    const float wx = fx - float(x0), wy = fy - float(y0);
    const std::uint8_t* a = src.alphaLine(y0);
    const std::uint8_t* b = src.alphaLine(y1);
    const float top = float(a[x0]) + (float(a[x1]) - float(a[x0])) * wx;
    const float bot = float(b[x0]) + (float(b[x1]) - float(b[x0])) * wx;
    return top + (bot - top) * wy;
}

/// Distortion by inverse mapping: `map(x, y, sx, sy)` says where output pixel (x, y) samples
/// the original (bilinear, edges repeated). An alpha plane moves with the colour.
template <class Map>
void remapEffect(Bitmap& image, const Selection* selection, const char* what, Map&& map) {
    filterWithSource(image, selection, what, [&](const Bitmap& src, Bitmap& dst, Rect rect) {
        dispatch(src.pixelFormat(), [&](auto layout) {
            using L = decltype(layout);
            using T = typename L::Sample;
            constexpr int C = L::channels;
            const bool plane = src.hasAlphaPlane();
            parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
                float v[C];
                for (int y = y0; y < y1; ++y) {
                    T* d = mutableRow<T>(dst, y);
                    std::uint8_t* alpha = plane ? dst.mutableAlphaLine(y) : nullptr;
                    for (int x = rect.x; x < rect.right(); ++x) {
                        float sx = float(x), sy = float(y);
                        map(x, y, sx, sy);
                        sampleBilinear<T, C>(src, sx, sy, v);
                        storeRow(v, C, d + std::size_t(x) * C);
                        if (alpha) alpha[x] = std::uint8_t(sampleAlphaPlane(src, sx, sy) + 0.5f);
                    }
                }
            });
        });
    });
}

/// The centre and half-size of a rectangle, for effects centred on the work area.
struct Frame2D {
    float cx, cy, rx, ry, radius;
    explicit Frame2D(Rect r)
        : cx(float(r.x) + float(r.w - 1) * 0.5f)
        , cy(float(r.y) + float(r.h - 1) * 0.5f)
        , rx(std::max(1.f, float(r.w) * 0.5f))
        , ry(std::max(1.f, float(r.h) * 0.5f))
        , radius(std::min(rx, ry)) { }
};

} // namespace ie::proc::detail
