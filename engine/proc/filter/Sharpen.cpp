#include "proc/filter/Sharpen.h"

#include "proc/filter/FilterCore.h"
#include "proc/filter/Separable.h"

#include <cmath>

namespace ie::proc {

using namespace detail;

namespace {

template <class T, int C>
void unsharpRow(const T* s, const float* blur, int n, float amount, float threshold, T* out) {
    constexpr float hi = sizeof(T) == 1 ? 255.f : 65535.f;
    for (int i = 0; i < n; ++i) {
        const float v = float(s[i]);
        const float d = v - blur[i];
        const float r = std::fabs(d) >= threshold ? v + amount * d : v;
        out[i] = T(std::clamp(r + 0.5f, 0.f, hi + 0.49f));
    }
    if constexpr (C == 4)
        for (int i = 3; i < n; i += 4)
            out[i] = s[i];
}

} // namespace

void unsharpMask(
    Bitmap& image, double radius, double amount, int threshold, const Selection* selection) {
    requireFilterable(image, "Unsharp mask");
    const Filter1D f = gaussianFilter(radius);
    if (f.isIdentity() || amount == 0) return;
    filterWithSource(
        image, selection, "Unsharp mask", [&](const Bitmap& src, Bitmap& dst, Rect rect) {
            dispatch(src.pixelFormat(), [&](auto layout) {
                using L = decltype(layout);
                using T = typename L::Sample;
                const float t = float(std::max(0, threshold)) * (sizeof(T) == 1 ? 1.f : 257.f);
                separableFilter(src, rect, f, f, [&](int y, const float* blur) {
                    const std::size_t off = std::size_t(rect.x) * L::channels;
                    unsharpRow<T, L::channels>(row<T>(src, y) + off, blur, rect.w * L::channels,
                        float(amount), t, mutableRow<T>(dst, y) + off);
                });
            });
        });
}

void sharpen(Bitmap& image, int intensity, int neighbourhood, const Selection* selection) {
    const int n = std::max(1, neighbourhood);
    unsharpMask(image, n / 2.0, std::clamp(intensity, 0, 100) / 10.0, 0, selection);
}

} // namespace ie::proc
