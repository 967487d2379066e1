#include "proc/vision/ForegroundExtraction.h"

#include "imaging/Convert.h"
#include "imaging/Error.h"
#include "imaging/Resample.h"
#include "proc/vision/MatBridge.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace ie::proc {

namespace {

constexpr double kMaxWorkPixels = 1.5e6; // graph cuts grow fast with size; 1.5 MP is enough

} // namespace

Rect objectSearchRect(const Rect& b, int width, int height) {
    Rect r = b.isEmpty() ? Rect { 0, 0, width, height } : b;
    if (r.right() == width && r.bottom() == height) {
        // left + 1 and right - 2 (right being x + w) leave w - 3 columns
        r = { r.x + 1, r.y + 1, r.w - 3, r.h - 3 };
    }
    return r;
}

Bitmap extractForeground(const Bitmap& image, const Rect& rect, int iterations) {
    if (image.isNull()) throw Error("There is no image to look for an object in.");
    const Rect r = rect.intersected(image.rect());
    if (r.w < 2 || r.h < 2 || r == image.rect())
        throw Error("The object must lie inside a rectangle smaller than the image.");
    if (iterations < 1) throw Error("Foreground extraction needs at least one iteration.");

    const double scale = std::min(1.0, std::sqrt(kMaxWorkPixels / double(image.pixelCount())));
    Bitmap rgb = convertTo(image, PixelFormat::Rgb24);
    rgb.removeAlphaPlane();
    Rect wr = r;
    if (scale < 1.0) {
        const int w = std::max(1, int(std::lround(image.width() * scale)));
        const int h = std::max(1, int(std::lround(image.height() * scale)));
        rgb = resample(rgb, w, h, ResampleFilter::Bilinear);
        const double sx = double(w) / image.width(), sy = double(h) / image.height();
        wr = Rect { int(r.x * sx), int(r.y * sy), std::max(2, int(r.w * sx)),
            std::max(2, int(r.h * sy)) }
                 .intersected(rgb.rect());
    }
    cv::Mat mat = matFromBitmap(rgb, rgb.rect());
    cv::Mat mask, bgModel, fgModel;
    cv::grabCut(mat, mask, cv::Rect(wr.x, wr.y, wr.w, wr.h), bgModel, fgModel, iterations,
        cv::GC_INIT_WITH_RECT);
    cv::Mat fg = (mask == cv::GC_FGD) | (mask == cv::GC_PR_FGD);
    Bitmap small = grayBitmapFromMat(fg);
    if (scale >= 1.0) return small;
    Bitmap full = resample(small, image.width(), image.height(), ResampleFilter::Bilinear);
    for (int y = 0; y < full.height(); ++y) { // back to a hard mask
        std::uint8_t* row = full.mutableScanline(y);
        for (int x = 0; x < full.width(); ++x)
            row[x] = row[x] >= 128 ? 255 : 0;
    }
    return full;
}

} // namespace ie::proc
