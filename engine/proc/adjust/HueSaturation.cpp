#include "proc/adjust/HueSaturation.h"

#include "proc/adjust/AdjustRows.h"
#include "proc/adjust/ColorMatrix.h"

#include <cmath>

namespace ie::proc {

namespace {

ColorMatrix hslMatrix(double hue, double saturation, double luminosity) {
    ColorMatrix m
        = ColorMatrix::saturation(1 + saturation / 100).after(ColorMatrix::hueRotation(hue));
    const double l = luminosity / 100;
    // Luminosity pulls toward white (l > 0) or black (l < 0) in proportion.
    const float scale = float(1 - std::abs(l)), offset = float(l > 0 ? l : 0);
    for (auto& row : m.m) {
        for (int j = 0; j < 4; ++j)
            row[j] *= scale;
        row[3] += offset;
    }
    return m;
}

// Hue in degrees (0 to 360) and chroma (0 to 1) of an RGB triple.
float hueOf(float r, float g, float b, float& chroma) {
    const float mx = std::max({ r, g, b }), mn = std::min({ r, g, b });
    chroma = mx - mn;
    if (chroma <= 0) return 0;
    float h;
    if (mx == r)
        h = (g - b) / chroma;
    else if (mx == g)
        h = (b - r) / chroma + 2;
    else
        h = (r - g) / chroma + 4;
    h *= 60;
    return h < 0 ? h + 360 : h;
}

float rangeWeight(float h, float chroma, float centre) {
    float d = std::abs(h - centre);
    if (d > 180) d = 360 - d;
    const float w = std::clamp((45 - d) / 30, 0.f, 1.f);
    return w * std::min(1.f, chroma * 8); // greys have no hue to select by
}

} // namespace

void hueSaturationLuminosity(Bitmap& image, const Selection* selection, ColorRange range,
    double hue, double saturation, double luminosity) {
    detail::requireRange(int(range), 0, kColorRangeCount - 1, "The colour range");
    detail::requireRange(hue, -180, 180, "Hue");
    detail::requireRange(saturation, -100, 100, "Saturation");
    detail::requireRange(luminosity, -100, 100, "Luminosity");
    const char* name = "Hue / Saturation / Luminosity";
    const ColorMatrix m = hslMatrix(hue, saturation, luminosity);
    if (range == ColorRange::All) return applyColorMatrix(image, selection, m, name);
    const float centre = float((int(range) - 1) * 60);
    detail::forEachRgb(image, selection, name, [&](float& r, float& g, float& b, int, int) {
        float chroma = 0;
        const float h = hueOf(r, g, b, chroma); // sets chroma: keep it a statement of its own
        const float w = rangeWeight(h, chroma, centre);
        if (w <= 0) return;
        const float in[3] = { r, g, b };
        float* out[3] = { &r, &g, &b };
        for (int i = 0; i < 3; ++i) {
            const float v = m.m[i][0] * in[0] + m.m[i][1] * in[1] + m.m[i][2] * in[2] + m.m[i][3];
            *out[i] = in[i] + w * (v - in[i]);
        }
    });
}

} // namespace ie::proc
