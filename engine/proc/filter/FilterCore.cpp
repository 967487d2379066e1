#include "proc/filter/FilterCore.h"

#include "imaging/Error.h"
#include "imaging/Parallel.h"
#include "proc/MaskBlend.h"

#include <cstring>
#include <string>

namespace ie::proc::detail {

bool isFilterable(PixelFormat f) {
    return f == PixelFormat::Gray8 || f == PixelFormat::Rgb24 || f == PixelFormat::Rgba32
        || f == PixelFormat::Rgb48;
}

void requireFilterable(const Bitmap& image, const char* what) {
    if (image.isNull()) throw Error(std::string(what) + ": the image is empty.");
    if (!isFilterable(image.pixelFormat()))
        throw Error(
            std::string(what) + " works on grey and RGB images; convert the image to RGB first.");
}

void filterRect(Bitmap& image, Rect rect,
    const std::function<void(const Bitmap& src, Bitmap& dst, Rect rect)>& fn) {
    rect = rect.intersected(image.rect());
    if (rect.isEmpty()) return;
    const Bitmap src = image;
    image.detachRows(rect.y, rect.bottom());
    fn(src, image, rect);
}

void filterWithSource(Bitmap& image, const Selection* selection, const char* what,
    const std::function<void(const Bitmap& src, Bitmap& dst, Rect rect)>& fn) {
    requireFilterable(image, what);
    editSelected(image, selection, [&](Bitmap& img, Rect rect) { filterRect(img, rect, fn); });
}

void forBands(int y0, int y1, int minRows, const std::function<void(int, int)>& body) {
    const int rows = y1 - y0;
    if (rows <= 0) return;
    const int wanted = threadCount() * 4;
    const int bands = std::clamp(rows / std::max(1, minRows), 1, wanted);
    parallelFor(
        0, bands,
        [&](int b0, int b1) {
            for (int b = b0; b < b1; ++b)
                body(y0 + int(std::int64_t(rows) * b / bands),
                    y0 + int(std::int64_t(rows) * (b + 1) / bands));
        },
        1);
}

void keepInterleavedAlpha(const Bitmap& src, Bitmap& dst, Rect rect) {
    if (dst.pixelFormat() != PixelFormat::Rgba32) return;
    parallelFor(rect.y, rect.bottom(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* s = src.scanline(y) + std::size_t(rect.x) * 4;
            std::uint8_t* d = dst.mutableScanline(y) + std::size_t(rect.x) * 4;
            for (int x = 0; x < rect.w; ++x)
                d[x * 4 + 3] = s[x * 4 + 3];
        }
    });
}

} // namespace ie::proc::detail
