// Copies between engine bitmaps (8-bit grey or RGB) and OpenCV matrices, one rectangle at a time.
#pragma once

#include "imaging/Bitmap.h"

#include <opencv2/core.hpp>

namespace ie::proc {

/// The `r` part of an Rgb24 or Gray8 bitmap as a contiguous CV_8UC3 or CV_8UC1 matrix.
cv::Mat matFromBitmap(const Bitmap& image, const Rect& r);

/// A Gray8 bitmap holding a CV_8UC1 matrix.
Bitmap grayBitmapFromMat(const cv::Mat& mat);

} // namespace ie::proc
