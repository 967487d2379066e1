#include "proc/filter/Lens.h"

#include "proc/filter/PixelLoop.h"

#include <numbers>

namespace ie::proc {

using namespace detail;

namespace {

// Normalises by the half diagonal, so the corners sit at distance 1.
struct Radial {
    float cx, cy, norm;
    explicit Radial(Rect r)
        : cx(float(r.x) + float(r.w - 1) * 0.5f)
        , cy(float(r.y) + float(r.h - 1) * 0.5f)
        , norm(std::max(1.f, std::hypot(float(r.w), float(r.h)) * 0.5f)) { }
};

} // namespace

void lensDistortion(Bitmap& image, double amount, const Selection* selection) {
    requireFilterable(image, "Lens distortion");
    if (amount == 0) return;
    const Radial c(workRect(image, selection));
    const float k = float(std::clamp(amount, -100.0, 100.0)) / 100.f * 0.3f;
    // Keep the corners where they were so no edge pixels are repeated into the frame.
    const float fit = 1.f / (1.f + k);
    remapEffect(image, selection, "Lens distortion", [&](int x, int y, float& sx, float& sy) {
        const float dx = (float(x) - c.cx) / c.norm, dy = (float(y) - c.cy) / c.norm;
        const float s = (1.f + k * (dx * dx + dy * dy)) * (k > 0 ? fit : 1.f);
        sx = c.cx + dx * s * c.norm;
        sy = c.cy + dy * s * c.norm;
    });
}

void fisheye(Bitmap& image, double amount, const Selection* selection) {
    requireFilterable(image, "Fisheye");
    const float k = float(std::clamp(amount, 0.0, 100.0)) / 100.f;
    if (k == 0) return;
    const Frame2D f(workRect(image, selection));
    remapEffect(image, selection, "Fisheye", [&](int x, int y, float& sx, float& sy) {
        const float dx = (float(x) - f.cx) / f.radius, dy = (float(y) - f.cy) / f.radius;
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d >= 1 || d == 0) return;
        const float fish = std::tan(d * std::numbers::pi_v<float> / 4.f);
        const float s = (d + (fish - d) * k) / d;
        sx = f.cx + dx * s * f.radius;
        sy = f.cy + dy * s * f.radius;
    });
}

void vignette(Bitmap& image, double amount, double midpoint, const Selection* selection) {
    const float a = float(std::clamp(amount, -100.0, 100.0)) / 100.f;
    const float mid = float(std::clamp(midpoint, 0.0, 100.0)) / 100.f;
    const Radial c(workRect(image, selection));
    pointEffect(image, selection, "Vignette", [&](int x, int y, float* v, int n) {
        const float d = std::hypot(float(x) - c.cx, float(y) - c.cy) / c.norm;
        const float t = std::clamp((d - mid) / std::max(0.01f, 1.f - mid), 0.f, 1.f);
        const float w = t * t * (3 - 2 * t) * a;
        for (int i = 0; i < n; ++i)
            v[i] = w < 0 ? v[i] * (1 + w) : v[i] + (1 - v[i]) * w;
    });
}

void chromaticAberration(Bitmap& image, double red, double blue, const Selection* selection) {
    requireFilterable(image, "Chromatic aberration");
    if (image.pixelFormat() == PixelFormat::Gray8 || (red == 0 && blue == 0)) return;
    const Radial c(workRect(image, selection));
    const float scale[3] = { 1.f + float(red) / 1000.f, 1.f, 1.f + float(blue) / 1000.f };
    filterWithSource(
        image, selection, "Chromatic aberration", [&](const Bitmap& src, Bitmap& dst, Rect rect) {
            dispatch(src.pixelFormat(), [&](auto layout) {
                using L = decltype(layout);
                using T = typename L::Sample;
                constexpr int C = L::channels;
                parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
                    float v[C];
                    for (int y = y0; y < y1; ++y) {
                        T* d = mutableRow<T>(dst, y);
                        for (int x = rect.x; x < rect.right(); ++x)
                            for (int ch = 0; ch < 3; ++ch) {
                                if (ch == 1) continue;
                                const float sx = c.cx + (float(x) - c.cx) / scale[ch];
                                const float sy = c.cy + (float(y) - c.cy) / scale[ch];
                                sampleBilinear<T, C>(src, sx, sy, v);
                                d[std::size_t(x) * C + ch] = T(v[ch] + 0.5f);
                            }
                    }
                });
            });
        });
}

} // namespace ie::proc
