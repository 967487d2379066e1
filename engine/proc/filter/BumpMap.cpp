#include "proc/filter/BumpMap.h"

#include "proc/filter/FilterCore.h"
#include "proc/filter/Window.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace ie::proc {

using namespace detail;

namespace {

// Brightness of the pixel whose samples start at p (colour samples only).
inline float brightness(const float* p, int C) {
    return C == 1 ? p[0] : 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
}

} // namespace

void bumpMap(Bitmap& image, double azimuthDegrees, double elevationDegrees, double depth,
    const Selection* selection) {
    requireFilterable(image, "Bump map");
    if (depth == 0) return;
    const double az = azimuthDegrees * std::numbers::pi / 180.0;
    const double el = std::clamp(elevationDegrees, 1.0, 90.0) * std::numbers::pi / 180.0;
    const float lx = float(std::cos(el) * std::cos(az)), ly = float(-std::cos(el) * std::sin(az)),
                lz = float(std::sin(el));
    const float scale
        = float(depth) / (image.pixelFormat() == PixelFormat::Rgb48 ? 65535.f : 255.f);
    filterWithSource(image, selection, "Bump map", [&](const Bitmap& src, Bitmap& dst, Rect r) {
        windowFilter(src, dst, r, 1, true, [&](const float* const* rows, float* out, int n, int C) {
            for (int i = 0; i < n; i += C) {
                auto h = [&](int ky, int kx) { return brightness(rows[ky] + i + kx * C, C); };
                const float gx
                    = (h(0, 2) + 2 * h(1, 2) + h(2, 2)) - (h(0, 0) + 2 * h(1, 0) + h(2, 0));
                const float gy
                    = (h(2, 0) + 2 * h(2, 1) + h(2, 2)) - (h(0, 0) + 2 * h(0, 1) + h(0, 2));
                const float nx = -gx * scale, ny = -gy * scale;
                const float shade
                    = std::max(0.f, nx * lx + ny * ly + lz) / std::sqrt(nx * nx + ny * ny + 1.f);
                const float f = shade / lz;
                const float* c = rows[1] + i + C;
                for (int k = 0; k < C; ++k)
                    out[i + k] = c[k] * f;
            }
        });
    });
}

} // namespace ie::proc
