#include "proc/vision/MatBridge.h"

#include "imaging/Error.h"

#include <cstring>

namespace ie::proc {

cv::Mat matFromBitmap(const Bitmap& image, const Rect& r) {
    const PixelFormat f = image.pixelFormat();
    if (f != PixelFormat::Rgb24 && f != PixelFormat::Gray8)
        throw Error("Only grey and RGB images can be handed to the vision functions.");
    const int channels = f == PixelFormat::Rgb24 ? 3 : 1;
    cv::Mat mat(r.h, r.w, channels == 3 ? CV_8UC3 : CV_8UC1);
    for (int y = 0; y < r.h; ++y)
        std::memcpy(mat.ptr(y), image.scanline(r.y + y) + std::size_t(r.x) * channels,
            std::size_t(r.w) * channels);
    return mat;
}

Bitmap grayBitmapFromMat(const cv::Mat& mat) {
    Bitmap out(mat.cols, mat.rows, PixelFormat::Gray8);
    for (int y = 0; y < mat.rows; ++y)
        std::memcpy(out.mutableScanline(y), mat.ptr(y), std::size_t(mat.cols));
    return out;
}

} // namespace ie::proc
