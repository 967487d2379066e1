#include "proc/geometry/RoundCorners.h"

#include <algorithm>
#include <cmath>

namespace ie::proc {

namespace {

// Coverage of the pixel centred at (px, py) by the ellipse at (cx, cy): half a pixel of soft edge.
double ellipseCoverage(double px, double py, double cx, double cy, double rx, double ry) {
    const double dx = (px - cx) / rx, dy = (py - cy) / ry;
    const double d = (std::sqrt(dx * dx + dy * dy) - 1.0) * std::min(rx, ry);
    return std::clamp(0.5 - d, 0.0, 1.0);
}

} // namespace

void roundCorners(Bitmap& image, int rx, int ry) {
    if (image.isNull()) return;
    rx = std::min(rx, image.width() / 2);
    ry = std::min(ry, image.height() / 2);
    if (rx <= 0 || ry <= 0) return;
    const bool interleaved = image.pixelFormat() == PixelFormat::Rgba32;
    if (!interleaved && !image.hasAlphaPlane()) image.addAlphaPlane(255);
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        const bool top = y < ry, bottom = y >= h - ry;
        if (!top && !bottom) continue;
        std::uint8_t* a = interleaved ? image.mutableScanline(y) + 3 : image.mutableAlphaLine(y);
        const int step = interleaved ? 4 : 1;
        const double cy = top ? ry : h - ry;
        for (int x = 0; x < w; ++x) {
            const bool left = x < rx, right = x >= w - rx;
            if (!left && !right) {
                x = w - rx - 1; // jump over the straight middle of the row
                continue;
            }
            const double cx = left ? rx : w - rx;
            const double inside
                = (left ? x + 0.5 < cx : x + 0.5 > cx) && (top ? y + 0.5 < cy : y + 0.5 > cy)
                ? ellipseCoverage(x + 0.5, y + 0.5, cx, cy, rx, ry)
                : 1.0;
            std::uint8_t& v = a[std::size_t(x) * step];
            v = std::uint8_t(std::lround(v * inside));
        }
    }
}

} // namespace ie::proc
