#include "proc/geometry/Crop.h"

#include "imaging/BitmapOps.h"
#include "imaging/Error.h"
#include "imaging/Parallel.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace ie::proc {

Bitmap cropTo(const Bitmap& src, const Rect& r) {
    const Rect clipped = r.intersected(src.rect());
    if (clipped.isEmpty()) throw Error("The crop rectangle lies outside the image.");
    return crop(src, clipped);
}

Bitmap cropToSelection(const Bitmap& src, const Selection& selection) {
    if (selection.isEmpty()) throw Error("There is no selection to crop to.");
    if (selection.width() != src.width() || selection.height() != src.height())
        throw Error("The selection does not match the image size.");
    const Rect r = selection.bounds().intersected(src.rect());
    Bitmap out = crop(src, r);
    const bool interleaved = out.pixelFormat() == PixelFormat::Rgba32;
    if (!interleaved && !out.hasAlphaPlane()) out.addAlphaPlane(255);
    out.detach();
    parallelFor(0, r.h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* mask = selection.mask().scanline(r.y + y) + r.x;
            std::uint8_t* a = interleaved ? out.mutableScanline(y) + 3 : out.mutableAlphaLine(y);
            const int step = interleaved ? 4 : 1;
            for (int x = 0; x < r.w; ++x, a += step)
                *a = std::uint8_t((*a * mask[x] + 127) / 255);
        }
    });
    return out;
}

Rect opaqueBounds(const Bitmap& src) {
    if (!src.hasAlpha()) return src.rect();
    const bool interleaved = src.pixelFormat() == PixelFormat::Rgba32;
    std::mutex lock;
    int x0 = src.width(), x1 = -1, y0 = src.height(), y1 = -1;
    parallelFor(0, src.height(), [&](int r0, int r1) {
        int lx0 = src.width(), lx1 = -1, ly0 = src.height(), ly1 = -1;
        for (int y = r0; y < r1; ++y) {
            const std::uint8_t* a = interleaved ? src.scanline(y) + 3 : src.alphaLine(y);
            const int step = interleaved ? 4 : 1;
            int first = -1, last = -1;
            for (int x = 0; x < src.width(); ++x)
                if (a[std::size_t(x) * step]) {
                    if (first < 0) first = x;
                    last = x;
                }
            if (first < 0) continue;
            lx0 = std::min(lx0, first);
            lx1 = std::max(lx1, last);
            ly0 = std::min(ly0, y);
            ly1 = y;
        }
        const std::lock_guard guard(lock);
        x0 = std::min(x0, lx0);
        x1 = std::max(x1, lx1);
        y0 = std::min(y0, ly0);
        y1 = std::max(y1, ly1);
    });
    if (x1 < 0) return src.rect();
    return { x0, y0, x1 - x0 + 1, y1 - y0 + 1 };
}

Bitmap cropTransparentBorder(const Bitmap& src) {
    if (src.isNull()) return src;
    const Rect r = opaqueBounds(src);
    return r == src.rect() ? src : crop(src, r);
}

} // namespace ie::proc
