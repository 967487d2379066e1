// Visits the pixels of a rectangle as RGBA colours, whatever the format, and writes back those a
// visitor changes: direct for RGB, RGBA and grey rows, through the bitmap's accessors otherwise.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/Parallel.h"

namespace ie::proc {

/// Calls `visit(x, y, color)` for every pixel of `rect` (rows spread over the cores); when it
/// returns true, `color` (alpha included, where the image has alpha) is stored back.
template <class Visit> void mapPixels(Bitmap& image, Rect rect, Visit&& visit) {
    rect = rect.intersected(image.rect());
    if (rect.isEmpty()) return;
    image.detachRows(rect.y, rect.bottom());
    const PixelFormat f = image.pixelFormat();
    const bool plane = image.hasAlphaPlane();
    parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* row = image.mutableScanline(y);
            std::uint8_t* alpha = plane ? image.mutableAlphaLine(y) : nullptr;
            for (int x = rect.x; x < rect.right(); ++x) {
                Rgba c;
                std::uint8_t* p = nullptr;
                switch (f) {
                case PixelFormat::Rgb24:
                    p = row + std::size_t(x) * 3;
                    c = { p[0], p[1], p[2], 255 };
                    break;
                case PixelFormat::Rgba32:
                    p = row + std::size_t(x) * 4;
                    c = { p[0], p[1], p[2], p[3] };
                    break;
                case PixelFormat::Gray8:
                    p = row + x;
                    c = { p[0], p[0], p[0], 255 };
                    break;
                default:
                    c = image.pixel(x, y);
                }
                if (alpha) c.a = alpha[x];
                if (!visit(x, y, c)) continue;
                switch (f) {
                case PixelFormat::Rgb24:
                    p[0] = c.r, p[1] = c.g, p[2] = c.b;
                    break;
                case PixelFormat::Rgba32:
                    p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
                    break;
                case PixelFormat::Gray8:
                    p[0] = lumaOf(c.r, c.g, c.b);
                    break;
                default:
                    image.setPixel(x, y, c);
                }
                if (alpha) alpha[x] = c.a;
            }
        }
    });
}

} // namespace ie::proc
