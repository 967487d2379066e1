#include "proc/adjust/ReplaceColor.h"

#include "proc/adjust/AdjustRows.h"

#include <cmath>

namespace ie::proc {

void replaceColor(Bitmap& image, const Selection* selection, Rgb from, double tolerance, Rgb to) {
    detail::requireRange(tolerance, 0, 100, "Tolerance");
    const float f[3] = { from.r / 255.f, from.g / 255.f, from.b / 255.f };
    const float shift[3]
        = { (to.r - from.r) / 255.f, (to.g - from.g) / 255.f, (to.b - from.b) / 255.f };
    const float tol = float(tolerance / 100), full = tol * 0.75f;
    // Half an 8-bit step of slack so that exact matches survive the float conversion.
    constexpr float slack = 0.5f / 255;
    detail::forEachRgb(
        image, selection, "Replace Color", [&](float& r, float& g, float& b, int, int) {
            const float d
                = std::max({ std::abs(r - f[0]), std::abs(g - f[1]), std::abs(b - f[2]) });
            if (d > tol + slack) return;
            const float w = d <= full + slack ? 1.f : (tol - d) / (tol - full);
            r += w * shift[0];
            g += w * shift[1];
            b += w * shift[2];
        });
}

} // namespace ie::proc
