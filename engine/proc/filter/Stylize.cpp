#include "proc/filter/Stylize.h"

#include "proc/filter/PixelLoop.h"

#include <vector>

namespace ie::proc {

using namespace detail;

namespace {

// A reproducible value in [0, 1) from a pixel position and a seed.
inline float hashUnit(unsigned x, unsigned y, unsigned seed) {
    unsigned h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return float(h & 0xffffff) / float(0x1000000);
}

} // namespace

void posterize(Bitmap& image, int levels, const Selection* selection) {
    requireFilterable(image, "Posterize");
    if (levels >= 256) return;
    const float steps = float(std::max(2, levels) - 1);
    pointEffect(image, selection, "Posterize", [&](int, int, float* v, int n) {
        for (int i = 0; i < n; ++i)
            v[i] = std::round(v[i] * steps) / steps;
    });
}

void solarize(Bitmap& image, int threshold, const Selection* selection) {
    requireFilterable(image, "Solarize");
    if (threshold > 255) return;
    const float t = float(std::max(0, threshold)) / 255.f - 0.5f / 255.f;
    pointEffect(image, selection, "Solarize", [&](int, int, float* v, int n) {
        for (int i = 0; i < n; ++i)
            if (v[i] >= t) v[i] = 1 - v[i];
    });
}

void addNoise(
    Bitmap& image, int amount, bool monochrome, unsigned seed, const Selection* selection) {
    requireFilterable(image, "Noise");
    if (amount <= 0) return;
    const float a = float(std::min(amount, 100)) / 100.f;
    pointEffect(image, selection, "Noise", [&](int x, int y, float* v, int n) {
        for (int i = 0; i < n; ++i) {
            const unsigned s = seed + (monochrome ? 0u : unsigned(i) * 7919u);
            v[i] += (hashUnit(unsigned(x), unsigned(y), s) * 2 - 1) * a;
        }
    });
}

void pixelize(Bitmap& image, int blockW, int blockH, PixelShape shape, const Selection* selection) {
    requireFilterable(image, "Pixelize");
    blockW = std::max(1, blockW);
    blockH = std::max(1, blockH);
    if (blockW == 1 && blockH == 1) return;
    filterWithSource(image, selection, "Pixelize", [&](const Bitmap& src, Bitmap& dst, Rect rect) {
        dispatch(src.pixelFormat(), [&](auto layout) {
            using L = decltype(layout);
            using T = typename L::Sample;
            constexpr int C = L::channels, colour = C == 4 ? 3 : C;
            const int rowsOfBlocks = (rect.h + blockH - 1) / blockH;
            parallelFor(0, rowsOfBlocks, [&](int b0, int b1) {
                std::vector<double> sum(C);
                for (int b = b0; b < b1; ++b) {
                    const int y0 = rect.y + b * blockH, y1 = std::min(rect.bottom(), y0 + blockH);
                    for (int x0 = rect.x; x0 < rect.right(); x0 += blockW) {
                        const int x1 = std::min(rect.right(), x0 + blockW);
                        std::fill(sum.begin(), sum.end(), 0.0);
                        for (int y = y0; y < y1; ++y)
                            for (int x = x0; x < x1; ++x)
                                for (int c = 0; c < C; ++c)
                                    sum[c] += row<T>(src, y)[x * C + c];
                        const double count = double(y1 - y0) * (x1 - x0);
                        const float cx = float(x0 + x1 - 1) * 0.5f, cy = float(y0 + y1 - 1) * 0.5f;
                        const float r = float(std::min(blockW, blockH)) * 0.5f;
                        for (int y = y0; y < y1; ++y) {
                            T* d = mutableRow<T>(dst, y);
                            for (int x = x0; x < x1; ++x) {
                                float f = 1;
                                if (shape == PixelShape::Mosaic && (x == x1 - 1 || y == y1 - 1))
                                    f = 0.6f;
                                if (shape == PixelShape::Dots)
                                    f = std::clamp(
                                        r - std::hypot(float(x) - cx, float(y) - cy) + 0.5f, 0.f,
                                        1.f);
                                for (int c = 0; c < C; ++c)
                                    d[x * C + c] = T(sum[c] / count * (c < colour ? f : 1.f) + 0.5);
                            }
                        }
                    }
                }
            });
        });
    });
}

void oilPaint(Bitmap& image, int radius, int levels, const Selection* selection) {
    requireFilterable(image, "Oil paint");
    if (radius <= 0) return;
    levels = std::clamp(levels, 2, 256);
    filterWithSource(image, selection, "Oil paint", [&](const Bitmap& src, Bitmap& dst, Rect rect) {
        dispatch(src.pixelFormat(), [&](auto layout) {
            using L = decltype(layout);
            using T = typename L::Sample;
            constexpr int C = L::channels, colour = C == 4 ? 3 : C;
            const float toLevel = float(levels - 1) / L::maxValue;
            parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
                std::vector<int> count(levels);
                std::vector<double> sum(std::size_t(levels) * colour);
                for (int y = y0; y < y1; ++y) {
                    T* d = mutableRow<T>(dst, y);
                    for (int x = rect.x; x < rect.right(); ++x) {
                        std::fill(count.begin(), count.end(), 0);
                        std::fill(sum.begin(), sum.end(), 0.0);
                        for (int dy = -radius; dy <= radius; ++dy) {
                            const T* s = row<T>(src, std::clamp(y + dy, 0, src.height() - 1));
                            for (int dx = -radius; dx <= radius; ++dx) {
                                const T* p = s + std::clamp(x + dx, 0, src.width() - 1) * C;
                                const float lum = colour == 1
                                    ? float(p[0])
                                    : 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
                                const int l = int(lum * toLevel + 0.5f);
                                ++count[l];
                                for (int c = 0; c < colour; ++c)
                                    sum[l * colour + c] += p[c];
                            }
                        }
                        const int best
                            = int(std::max_element(count.begin(), count.end()) - count.begin());
                        for (int c = 0; c < colour; ++c)
                            d[x * C + c] = T(sum[best * colour + c] / count[best] + 0.5);
                    }
                }
            });
        });
    });
}

} // namespace ie::proc
