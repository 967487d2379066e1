#include "proc/vision/Inpaint.h"

#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "proc/vision/MatBridge.h"

#include <opencv2/photo.hpp>

#include <algorithm>
#include <cmath>

namespace ie::proc {

namespace {

// The smallest rectangle holding the mask's set pixels, or an empty one.
Rect maskBounds(const Bitmap& mask) {
    int x0 = mask.width(), x1 = -1, y0 = mask.height(), y1 = -1;
    for (int y = 0; y < mask.height(); ++y) {
        const std::uint8_t* m = mask.scanline(y);
        for (int x = 0; x < mask.width(); ++x)
            if (m[x]) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = y;
            }
    }
    return x1 < 0 ? Rect {} : Rect { x0, y0, x1 - x0 + 1, y1 - y0 + 1 };
}

Rect grown(const Rect& r, int by, const Rect& limit) {
    return Rect { r.x - by, r.y - by, r.w + 2 * by, r.h + 2 * by }.intersected(limit);
}

} // namespace

void inpaint(Bitmap& image, const Bitmap& mask, double radius, InpaintMethod method) {
    if (image.isNull()) return;
    if (mask.pixelFormat() != PixelFormat::Gray8 || mask.width() != image.width()
        || mask.height() != image.height())
        throw Error("The inpainting mask must be a grey image of the same size as the image.");
    if (!std::isfinite(radius) || radius < 0) throw Error("The inpainting range is not valid.");
    const Rect bounds = maskBounds(mask);
    if (bounds.isEmpty()) return;
    // the filling looks only `radius` pixels around the hole (plus a margin for its gradients)
    const Rect work = grown(bounds, int(std::ceil(radius)) + 3, image.rect());
    const PixelFormat f = image.pixelFormat();
    const bool direct = f == PixelFormat::Rgb24 || f == PixelFormat::Gray8;
    const Bitmap eight = direct
        ? image
        : convertTo(image,
            f == PixelFormat::Gray16 || f == PixelFormat::Bw1 ? PixelFormat::Gray8
                                                              : PixelFormat::Rgb24);
    const cv::Mat src = matFromBitmap(eight, work);
    const cv::Mat holes = matFromBitmap(mask, work);
    cv::Mat filled;
    cv::inpaint(src, holes, filled, std::max(radius, 1.0),
        method == InpaintMethod::Telea ? cv::INPAINT_TELEA : cv::INPAINT_NS);
    const int channels = filled.channels();
    for (int y = 0; y < work.h; ++y) {
        const std::uint8_t* m = holes.ptr(y);
        const std::uint8_t* p = filled.ptr(y);
        std::uint8_t* row = direct ? image.mutableScanline(work.y + y) : nullptr;
        for (int x = 0; x < work.w; ++x, p += channels) {
            if (!m[x]) continue;
            if (row) {
                std::copy(p, p + channels, row + std::size_t(work.x + x) * channels);
                continue;
            }
            Rgba c = image.pixel(work.x + x, work.y + y);
            c.r = p[0];
            c.g = channels == 3 ? p[1] : p[0];
            c.b = channels == 3 ? p[2] : p[0];
            image.setPixel(work.x + x, work.y + y, c);
        }
    }
}

void inpaint(Bitmap& image, const Selection& area, double radius, InpaintMethod method) {
    if (area.isEmpty()) return;
    if (area.width() != image.width() || area.height() != image.height())
        throw Error("The selection does not match the image size.");
    inpaint(image, area.mask(), radius, method);
}

} // namespace ie::proc
