#include "proc/filter/EdgeDetect.h"

#include "proc/filter/FilterCore.h"
#include "proc/filter/Window.h"

#include <cmath>
#include <numbers>

namespace ie::proc {

using namespace detail;

void edgeDetectSobel(Bitmap& image, const Selection* selection) {
    filterWithSource(
        image, selection, "Edge detection", [&](const Bitmap& src, Bitmap& dst, Rect r) {
            windowFilter(
                src, dst, r, 1, true, [](const float* const* rows, float* out, int n, int C) {
                    const float *a = rows[0], *b = rows[1], *c = rows[2];
                    for (int i = 0; i < n; ++i) {
                        const float gx = (a[i + 2 * C] + 2 * b[i + 2 * C] + c[i + 2 * C])
                            - (a[i] + 2 * b[i] + c[i]);
                        const float gy = (c[i] + 2 * c[i + C] + c[i + 2 * C])
                            - (a[i] + 2 * a[i + C] + a[i + 2 * C]);
                        out[i] = std::sqrt(gx * gx + gy * gy);
                    }
                });
        });
}

void emboss(Bitmap& image, double angleDegrees, double depth, const Selection* selection) {
    const double a = angleDegrees * std::numbers::pi / 180.0;
    const int dx = int(std::lround(std::cos(a))), dy = int(std::lround(-std::sin(a)));
    const float mid = image.pixelFormat() == PixelFormat::Rgb48 ? 32768.f : 128.f;
    const float k = float(depth);
    filterWithSource(image, selection, "Emboss", [&](const Bitmap& src, Bitmap& dst, Rect r) {
        windowFilter(src, dst, r, 1, true, [&](const float* const* rows, float* out, int n, int C) {
            const float* lit = rows[1 + dy] + (1 + dx) * C;
            const float* dark = rows[1 - dy] + (1 - dx) * C;
            for (int i = 0; i < n; ++i)
                out[i] = mid + k * (lit[i] - dark[i]);
        });
    });
}

} // namespace ie::proc
