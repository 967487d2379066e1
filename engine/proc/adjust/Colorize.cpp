#include "proc/adjust/Colorize.h"

#include "proc/adjust/AdjustRows.h"

#include <cmath>

namespace ie::proc {

namespace {

float hueToChannel(float p, float q, float t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.f / 6) return p + (q - p) * 6 * t;
    if (t < 0.5f) return q;
    if (t < 2.f / 3) return p + (q - p) * (2.f / 3 - t) * 6;
    return p;
}

} // namespace

void colorize(
    Bitmap& image, const Selection* selection, double hue, double saturation, double lightness) {
    detail::requireRange(hue, 0, 360, "Hue");
    detail::requireRange(saturation, 0, 100, "Saturation");
    detail::requireRange(lightness, -100, 100, "Lightness");
    const float h = float(hue / 360), s = float(saturation / 100), l = float(lightness / 100);
    detail::forEachRgb(image, selection, "Colorize", [&](float& r, float& g, float& b, int, int) {
        float v = detail::lumaF(r, g, b);
        v = l > 0 ? v + (1 - v) * l : v * (1 + l);
        const float q = v < 0.5f ? v * (1 + s) : v + s - v * s, p = 2 * v - q;
        r = hueToChannel(p, q, h + 1.f / 3);
        g = hueToChannel(p, q, h);
        b = hueToChannel(p, q, h - 1.f / 3);
    });
}

} // namespace ie::proc
