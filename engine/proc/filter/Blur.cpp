#include "proc/filter/Blur.h"

#include "imaging/Parallel.h"
#include "proc/filter/FilterCore.h"
#include "proc/filter/Separable.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace ie::proc {

using namespace detail;

namespace {

void separable(Bitmap& image, const Filter1D& f, const Selection* selection, const char* what) {
    requireFilterable(image, what);
    if (f.isIdentity()) return;
    filterWithSource(image, selection, what, [&](const Bitmap& src, Bitmap& dst, Rect rect) {
        separableFilter(src, rect, f, f, storeInto(dst, rect));
    });
}

// Motion blur samples along the line with bilinear weights, edges repeated.
template <class T, int C>
void motionRows(const Bitmap& src, Bitmap& dst, Rect rect, double angle, int length) {
    const double a = angle * std::numbers::pi / 180.0;
    const float dx = float(std::cos(a)), dy = float(-std::sin(a));
    const int W = src.width(), H = src.height();
    parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
        std::vector<float> acc(std::size_t(rect.w) * C);
        for (int y = y0; y < y1; ++y) {
            std::fill(acc.begin(), acc.end(), 0.f);
            for (int s = 0; s < length; ++s) {
                const float t = float(s) - float(length - 1) * 0.5f;
                const float fy = std::clamp(float(y) + t * dy, 0.f, float(H - 1));
                const int iy = std::min(int(fy), H - 1), iy1 = std::min(iy + 1, H - 1);
                const float wy = fy - float(iy);
                const T* r0 = row<T>(src, iy);
                const T* r1 = row<T>(src, iy1);
                for (int x = 0; x < rect.w; ++x) {
                    const float fx = std::clamp(float(rect.x + x) + t * dx, 0.f, float(W - 1));
                    const int ix = std::min(int(fx), W - 1), ix1 = std::min(ix + 1, W - 1);
                    const float wx = fx - float(ix);
                    for (int c = 0; c < C; ++c) {
                        const float top = r0[ix * C + c] + (r0[ix1 * C + c] - r0[ix * C + c]) * wx;
                        const float bot = r1[ix * C + c] + (r1[ix1 * C + c] - r1[ix * C + c]) * wx;
                        acc[x * C + c] += top + (bot - top) * wy;
                    }
                }
            }
            const float inv = 1.f / float(length);
            for (float& v : acc)
                v *= inv;
            storeRow(acc.data(), rect.w * C, mutableRow<T>(dst, y) + std::size_t(rect.x) * C);
        }
    });
}

} // namespace

void gaussianBlur(Bitmap& image, double sigma, const Selection* selection) {
    separable(image, gaussianFilter(sigma), selection, "Gaussian blur");
}

void boxBlur(Bitmap& image, int radius, const Selection* selection) {
    separable(image, boxFilter(radius), selection, "Box blur");
}

void motionBlur(Bitmap& image, double angleDegrees, int length, const Selection* selection) {
    requireFilterable(image, "Motion blur");
    if (length <= 1) return;
    filterWithSource(
        image, selection, "Motion blur", [&](const Bitmap& src, Bitmap& dst, Rect rect) {
            dispatch(src.pixelFormat(), [&](auto layout) {
                using L = decltype(layout);
                motionRows<typename L::Sample, L::channels>(src, dst, rect, angleDegrees, length);
            });
        });
}

} // namespace ie::proc
