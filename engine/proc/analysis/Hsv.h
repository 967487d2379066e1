// Hue, saturation and value of an 8-bit RGB colour, each on 0 to 255 (hue 0 = red, -1 for grey).
#pragma once

#include <algorithm>

namespace ie::proc {

/// HSV of an RGB triple: hue in 0 to 255 covering 0 to 360 degrees (-1 when the colour is grey),
/// saturation and value in 0 to 255.
struct Hsv8 {
    int h, s, v;
};

inline Hsv8 hsvOf(int r, int g, int b) {
    const int mx = std::max({ r, g, b }), mn = std::min({ r, g, b }), d = mx - mn;
    if (d == 0) return { -1, 0, mx };
    double h;
    if (mx == r)
        h = double(g - b) / d;
    else if (mx == g)
        h = 2.0 + double(b - r) / d;
    else
        h = 4.0 + double(r - g) / d;
    if (h < 0) h += 6;
    return { std::min(255, int(h * 256.0 / 6.0)), (d * 255 + mx / 2) / mx, mx };
}

} // namespace ie::proc
