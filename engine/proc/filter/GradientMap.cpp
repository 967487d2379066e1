#include "proc/filter/GradientMap.h"

#include "imaging/Parallel.h"
#include "proc/MaskBlend.h"
#include "proc/filter/FilterCore.h"

#include <array>

namespace ie::proc {

using namespace detail;

void gradientMap(Bitmap& image, Rgb dark, Rgb light, const Selection* selection) {
    requireFilterable(image, "Gradient map");
    auto mix = [](int a, int b, float t) { return float(a) + (float(b) - float(a)) * t; };
    std::array<std::array<std::uint8_t, 3>, 256> lut;
    for (int v = 0; v < 256; ++v) {
        const float t = float(v) / 255.f;
        lut[v] = { std::uint8_t(mix(dark.r, light.r, t) + 0.5f),
            std::uint8_t(mix(dark.g, light.g, t) + 0.5f),
            std::uint8_t(mix(dark.b, light.b, t) + 0.5f) };
    }
    editSelected(image, selection, [&](Bitmap& img, Rect rect) {
        img.detachRows(rect.y, rect.bottom());
        dispatch(img.pixelFormat(), [&](auto layout) {
            using L = decltype(layout);
            using T = typename L::Sample;
            constexpr int C = L::channels;
            parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
                for (int y = y0; y < y1; ++y) {
                    T* p = mutableRow<T>(img, y) + std::size_t(rect.x) * C;
                    for (int x = 0; x < rect.w; ++x, p += C) {
                        if constexpr (C == 1) {
                            const auto& c = lut[p[0]];
                            p[0] = lumaOf(c[0], c[1], c[2]);
                        } else if constexpr (sizeof(T) == 2) {
                            const float t
                                = (0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2]) / 65535.f;
                            p[0] = T(mix(dark.r, light.r, t) * 257.f + 0.5f);
                            p[1] = T(mix(dark.g, light.g, t) * 257.f + 0.5f);
                            p[2] = T(mix(dark.b, light.b, t) * 257.f + 0.5f);
                        } else {
                            const auto& c = lut[lumaOf(p[0], p[1], p[2])];
                            p[0] = c[0];
                            p[1] = c[1];
                            p[2] = c[2];
                        }
                    }
                }
            });
        });
    });
}

} // namespace ie::proc
